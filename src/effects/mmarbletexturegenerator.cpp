#include "mmarbletexturegenerator.h"

#include <algorithm>
#include <cmath>

MMarbleTextureGenerator::MMarbleTextureGenerator(QObject *parent) : MTextureGenerator(parent)
{
    addParameter("power", tr("Power"), 1, 128, 1, false, 5);
    addParameter("factor", tr("Factor"), 1, 128, 5, false, 32);
    addParameter("xPeriod", tr("X period"), 0, 128, 5, false, 5);
    addParameter("yPeriod", tr("Y period"), 0, 128, 5, false, 10);
}

QImage MMarbleTextureGenerator::generateTexture()
{
    const double power = parameter("power");
    const double factor = parameter("factor");
    const double xPeriod = parameter("xPeriod");
    const double yPeriod = parameter("yPeriod");
    return greyImage([&](int x, int y) {
        const double t = turbulence(x, y, factor);
        const double a = (x * xPeriod / width() + y * yPeriod / height() + power * t / 256) * 3.14159;
        const double v = 256 * std::fabs(std::sin(a));
        return std::max(0, static_cast<int>(std::min(v, 255.0)));
    });
}
