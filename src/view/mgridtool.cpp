#include "mgridtool.h"

#include "mpaper.h"
#include "msettings.h"
#include "mtools.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QPainter>

#include <algorithm>

MGridTool::MGridTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
    , m_gridColor(MSettings::instance()->gridColor())
    , m_gridSize(std::max(MSettings::instance()->gridSize(), minimumGridSize))
{
}

void MGridTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!visible() || !view)
        return;
    const QRectF r = paper()->paintedRect();
    painter->save();
    painter->setTransform(view->transform()->matrix());
    QPen pen(m_gridColor);
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    painter->setPen(pen);
    const int s = std::max(MSettings::instance()->gridSize(), minimumGridSize);
    for (double x = r.left(); x <= r.right(); x += s)
        painter->drawLine(QLine(int(x), int(r.top()), int(x), int(r.bottom() + 1)));
    for (double y = r.top(); y <= r.bottom(); y += s)
        painter->drawLine(QLine(int(r.left()), int(y), int(r.right() + 1), int(y)));
    painter->restore();
}

void MGridTool::set_gridColor(const QColor &value)
{
    if (value == m_gridColor)
        return;
    m_gridColor = value;
    MSettings::instance()->setGridColor(value);
    emit gridColorChanged(value);
    emit toolChanged(this);
}

void MGridTool::set_gridSize(int value)
{
    if (value == m_gridSize)
        return;
    m_gridSize = std::max(value, minimumGridSize);
    MSettings::instance()->setGridSize(value);
    emit gridSizeChanged(value);
    emit toolChanged(this);
}

void MGridTool::activate(bool on)
{
    set_visible(on);
    MSettings::instance()->setShowGrid(on);
    emit toolChanged(this);
}

void MGridTool::colorDialog()
{
    QColor color = m_gridColor;
    if (MUtility::pickColor(color, tr("Color")))
        set_gridColor(color);
}
