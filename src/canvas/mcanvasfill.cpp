#include "mcanvasfill.h"

#include "mcanvas.h"

#include <QPainter>

MCanvasFill::MCanvasFill(MCanvas *canvas, QObject *parent)
    : QObject(parent)
    , m_canvas(canvas)
{
}

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

bool MCanvasFill::fillPathInLayer(const QPainterPath &path, const QColor &color, MTextureLayer *layer,
                                  bool clearFirst)
{
    if (!m_canvas)
        return false;
    return m_canvas->blitImage(path.boundingRect().center(), renderPath(path, color), layer, clearFirst);
}

bool MCanvasFill::fillPath(const QPainterPath &path, const QColor &color, int row)
{
    if (!m_canvas)
        return false;
    QPainterPath filled = path;
    if (filled.isEmpty())
        filled.addRect(m_canvas->paintedRect());
    return m_canvas->pasteImage(filled.boundingRect().center(), renderPath(filled, color), false, tr("Fill path"), row,
                                QRectF(), 0);
}
