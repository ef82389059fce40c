#include "mcloudtexturegenerator.h"

#include <QColor>

#include <algorithm>

MCloudTextureGenerator::MCloudTextureGenerator(QObject *parent) : MTextureGenerator(parent)
{
    addParameter("hue", tr("Hue"), 0, 359, 5, false, 220);
    addParameter("luminance", tr("Luminance"), 0, 255, 5, false, 192);
    addParameter("noiseFactor", tr("Noise factor"), 1, 128, 5, false, 32);
}

QImage MCloudTextureGenerator::generateTexture()
{
    QImage image = blankImage();
    // A full turn is red again; QColor takes hues below 360 only.
    const int hue = static_cast<int>(std::clamp(parameter("hue"), 0.0, 360.0)) % 360;
    const double luminance = std::clamp(parameter("luminance"), 0.0, 255.0);
    const double factor = parameter("noiseFactor");
    for (int y = 0; y < height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width(); ++x) {
            const double l = std::clamp(turbulence(x, y, factor) * 0.25 + luminance, 0.0, 255.0);
            const QColor color = QColor::fromHsl(hue, 255, static_cast<int>(l), 255).toRgb();
            line[x] = qRgb(color.red(), color.green(), color.blue());
        }
    }
    return image;
}
