#include "mcanvasfill.h"

#include <QPainter>

QImage MCanvasFill::renderPath(const QPainterPath &path, const QColor &color)
{
    const QRectF bounds = path.boundingRect().adjusted(-1, -1, 1, 1);
    QImage image(int(bounds.width()), int(bounds.height()), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(image.width() * 0.5 - bounds.center().x(), image.height() * 0.5 - bounds.center().y());
    painter.fillPath(path, QBrush(color));
    return image;
}
