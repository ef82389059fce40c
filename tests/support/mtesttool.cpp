#include "mtesttool.h"

#include "mtool.h"

#include <QPainter>

#include <cmath>

namespace MTestTool {

MEvent leftSample(int type, const QPointF &position)
{
    MEvent e;
    e.type = type;
    e.button = Qt::LeftButton;
    e.viewPosition = position;
    e.inputs[MEnum::biPositionX] = position.x();
    e.inputs[MEnum::biPositionY] = position.y();
    return e;
}

bool near(const QPointF &a, const QPointF &b, double tolerance)
{
    return std::abs(a.x() - b.x()) < tolerance && std::abs(a.y() - b.y()) < tolerance;
}

QString text(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 4).arg(p.y(), 0, 'f', 4);
}

QImage overlay(MTool *tool, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    tool->paint(&painter);
    return image;
}

} // namespace MTestTool
