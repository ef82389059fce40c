#include "mnoisetexturegenerator.h"

#include <algorithm>

MNoiseTextureGenerator::MNoiseTextureGenerator(QObject *parent) : MTextureGenerator(parent)
{
    addParameter("factor", tr("Factor"), 1, 128, 5, false, 32);
}

QImage MNoiseTextureGenerator::generateTexture()
{
    const double size = std::max(parameter("factor"), 1.0);
    return greyImage([&](int x, int y) { return static_cast<int>(turbulence(x, y, size)); });
}
