#include "mbrushtexturegenerator.h"

#include "mnoisetexturegenerator.h"
#include "mrandom.h"
#include "msplinepath.h"

#include <QPainter>
#include <QTime>

#include <algorithm>
#include <cmath>

MBrushTextureGenerator::MBrushTextureGenerator(QObject *parent) : MTextureGenerator(parent)
{
    addParameter("particleCount", tr("Particle count"), 1, 512, 1, false, 20);
    addParameter("angleVariation", tr("Angle variation"), 0, 1, 0.01, true, 0.1);
    addParameter("radiusVariation", tr("Radius variation"), 0, 1, 0.01, true, 0.1);
    // Shown and stored, but the image does not use it yet.
    addParameter("gamma", tr("Gamma"), 0, 10, 0.01, false, 0.5);
}

QImage MBrushTextureGenerator::generateTexture()
{
    const int w = width();
    const int h = height();
    QImage shape(w, h, QImage::Format_ARGB32);
    shape.fill(Qt::white);

    const int n = static_cast<int>(parameter("particleCount"));
    const double av = parameter("angleVariation");
    const double rv = parameter("radiusVariation");
    MRandom::seed(static_cast<unsigned int>(QTime::currentTime().msec()));
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const double step = 6.283185307179586 / std::max(n, 1);
        const double rx = w / 2 - 10;
        const double ry = h / 2 - 10;
        QVector<QPointF> points;
        for (int i = 0; i < n; ++i) {
            const double u1 = MRandom::unit();
            const double u2 = MRandom::unit();
            const double u3 = MRandom::unit();
            const double angle = (1 - 2 * u1) * step * av + i * step;
            points.append(QPointF(std::cos(angle) * (1 - u2 * rv) * rx + w / 2,
                                  std::sin(angle) * (1 - u3 * rv) * ry + h / 2));
        }
        MSplinePath spline;
        spline.setClosed(true);
        spline.setPoints(points);
        QPainterPath path = spline.path;
        path.setFillRule(Qt::WindingFill);
        painter.drawPath(path);
    }

    MNoiseTextureGenerator noiseGenerator;
    noiseGenerator.setSize(w, h);
    const QImage noise = noiseGenerator.generateTexture();

    // Screen blend: white outside the blob, the noise inside it.
    return greyImage([&](int x, int y) {
        const int s = qRed(shape.pixel(x, y));
        const int q = qRed(noise.pixel(x, y));
        return std::clamp(static_cast<int>(255 - (255 - q) * (255 - s) / 255.0), 0, 255);
    });
}
