#include "mswatchlistpanel.h"

#include "mpalettelist.h"
#include "msettings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

MSwatchListPanel::MSwatchListPanel(QWidget *parent)
    : QWidget(parent)
    , m_swatchSize(qMax(1, MSettings::instance()->swatchSize()))
{
    setMouseTracking(true);
    connect(MSettings::instance(), &MSettings::swatchSizeChanged, this, &MSwatchListPanel::setSwatchSize);
}

MPalette *MSwatchListPanel::palette() const
{
    return MPaletteList::instance()->at(m_paletteIndex);
}

int MSwatchListPanel::rowsNeeded() const
{
    const MPalette *shown = palette();
    if (!shown || shown->count() == 0)
        return 0;
    return (shown->count() - 1) / m_columns + 1;
}

int MSwatchListPanel::maximumOffset() const
{
    return qMax(rowsNeeded() * m_swatchSize - height(), 0);
}

void MSwatchListPanel::setPaletteIndex(int index)
{
    if (index == m_paletteIndex || !MPaletteList::instance()->isValidRow(index))
        return;
    m_paletteIndex = index;
    relayout();
}

void MSwatchListPanel::setOffset(int value)
{
    const int limited = qMin(qMax(value, 0), maximumOffset());
    if (limited == m_offset)
        return;
    m_offset = limited;
    emit offsetChanged(limited);
    update();
}

void MSwatchListPanel::setSwatchSize(int value)
{
    if (value == m_swatchSize || value < 1)
        return;
    m_swatchSize = value;
    relayout();
}

void MSwatchListPanel::relayout()
{
    m_columns = qMax(1, width() / m_swatchSize);
    m_offset = 0;
    emit showScrollBar(height() / m_swatchSize < rowsNeeded());
    update();
}

int MSwatchListPanel::indexAt(const QPoint &point) const
{
    const MPalette *shown = palette();
    if (!shown)
        return -1;
    const int index = point.x() / m_swatchSize + ((m_offset + point.y()) / m_swatchSize) * m_columns;
    return index >= 0 && index < shown->count() ? index : -1;
}

QRect MSwatchListPanel::cellRect(int index) const
{
    const int row = index / m_columns;
    const int column = index - row * m_columns;
    return QRect(m_swatchSize * column, m_swatchSize * row - m_offset, m_swatchSize, m_swatchSize);
}

void MSwatchListPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const MPalette *shown = palette();
    if (!shown)
        return;
    painter.setPen(QPen(Qt::white, 1));
    for (int i = 0; i < shown->count(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.bottom() < 0 || cell.top() > height())
            continue;
        painter.fillRect(cell, shown->colorAt(i));
        painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        painter.drawLine(cell.topRight(), cell.bottomRight());
        if (i < m_columns)
            painter.drawLine(cell.topLeft(), cell.topRight());
        if (i % m_columns == 0)
            painter.drawLine(cell.topLeft(), cell.bottomLeft());
    }
    painter.setBrush(Qt::NoBrush);
    if (m_selectedIndex != -1) {
        painter.setPen(QPen(Qt::darkGray, 2));
        painter.drawRect(cellRect(m_selectedIndex).adjusted(1, 1, -1, -1));
    }
    if (m_hoverIndex != -1) {
        painter.setPen(QPen(QColor(QStringLiteral("#FF6600")), 2));
        painter.drawRect(cellRect(m_hoverIndex).adjusted(1, 1, -1, -1));
    }
}

void MSwatchListPanel::mouseMoveEvent(QMouseEvent *event)
{
    const int index = indexAt(event->pos());
    if (index != m_hoverIndex) {
        m_hoverIndex = index;
        emit overColorIndexChanged(index);
    }
    setCursor(m_dragging ? Qt::DragMoveCursor : Qt::ArrowCursor);
    update();
}

void MSwatchListPanel::leaveEvent(QEvent *)
{
    m_hoverIndex = -1;
    update();
}

void MSwatchListPanel::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const MPalette *shown = palette();
    if (!shown)
        return;
    const int index = indexAt(event->pos());
    m_pressedOnSwatch = index != -1;
    if (m_pressedOnSwatch) {
        m_selectedIndex = index;
        emit colorChanged(shown->colorAt(index), event->modifiers());
    }
    m_dragging = true;
    update();
}

void MSwatchListPanel::mouseReleaseEvent(QMouseEvent *event)
{
    MPalette *shown = palette();
    if (!shown)
        return;
    // A press beside the swatches grabs nothing: the colour selected
    // earlier stays where it is.
    if (m_dragging && m_pressedOnSwatch && shown->moveColor(m_selectedIndex, indexAt(event->pos()))
        && !shown->isSystem())
        shown->save();
    m_dragging = false;
    m_pressedOnSwatch = false;
    setCursor(Qt::ArrowCursor);
    update();
}

void MSwatchListPanel::wheelEvent(QWheelEvent *event)
{
    setOffset(event->angleDelta().y() < 0 ? m_offset + m_swatchSize : m_offset - m_swatchSize);
}

void MSwatchListPanel::resizeEvent(QResizeEvent *)
{
    relayout();
}
