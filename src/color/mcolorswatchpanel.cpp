#include "mcolorswatchpanel.h"

#include "mcolorlist.h"
#include "mpalettelist.h"

#include <QKeyEvent>
#include <QPainter>

MColorSwatchPanel::MColorSwatchPanel(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    connect(MPaletteList::instance(), &MPaletteList::currentRowChanged, this, [this] { update(); });
    connect(this, &MColorSwatchPanel::colorChanged, MColorList::instance(),
            QOverload<const QColor &, Qt::KeyboardModifiers>::of(&MColorList::setColor));
}

static MPalette *currentPalette()
{
    return MPaletteList::instance()->current();
}

void MColorSwatchPanel::set_swatchSize(double value)
{
    if (m_swatchSize == value || value <= 0)
        return;
    m_swatchSize = value;
    emit swatchSizeChanged(value);
}

int MColorSwatchPanel::columnCount() const
{
    return int(width() / m_swatchSize);
}

int MColorSwatchPanel::rowOf(int index) const
{
    const MPalette *palette = currentPalette();
    if (!palette || index < 0 || index >= palette->count())
        return -1;
    return index / qMax(columnCount(), 1);
}

void MColorSwatchPanel::layOut()
{
    const MPalette *palette = currentPalette();
    m_columns = palette ? columnCount() : 0;
    m_rows = palette ? rowOf(palette->count() - 1) + 1 : 0;
}

int MColorSwatchPanel::indexAt(int row, int column) const
{
    const MPalette *palette = currentPalette();
    if (!palette || row < 0 || column < 0 || column >= columnCount())
        return -1;
    const int index = column + row * columnCount();
    return index < palette->count() ? index : -1;
}

int MColorSwatchPanel::maximumFirstY() const
{
    const MPalette *palette = currentPalette();
    if (!palette)
        return 0;
    return qMax(0, int(m_swatchSize * (rowOf(palette->count() - 1) + 1) - height()));
}

void MColorSwatchPanel::setFirstY(int value)
{
    if (value == m_firstY)
        return;
    m_firstY = value;
    update();
    emit firstYChanged(value);
}

void MColorSwatchPanel::scrollTo(int value)
{
    setFirstY(qMax(qMin(value, maximumFirstY()), 0));
}

void MColorSwatchPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const MPalette *palette = currentPalette();
    if (!palette)
        return;
    layOut();
    painter.setPen(Qt::NoPen);
    for (int row = int(m_firstY / m_swatchSize); row < m_rows; ++row) {
        const int top = int(row * m_swatchSize) - m_firstY;
        for (int column = 0; column < m_columns; ++column) {
            const int index = indexAt(row, column);
            if (index < 0)
                continue;
            const QRect cell(int(column * m_swatchSize), top, int(m_swatchSize), int(m_swatchSize));
            painter.fillRect(cell.adjusted(1, 1, -1, -1), palette->colorAt(index));
        }
        if (height() < top)
            break;
    }
}

void MColorSwatchPanel::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const int index = indexAt(int((m_firstY + event->pos().y()) / m_swatchSize), int(event->pos().x() / m_swatchSize));
    if (index >= 0)
        emit colorChanged(currentPalette()->colorAt(index), event->modifiers());
    update();
}

void MColorSwatchPanel::keyPressEvent(QKeyEvent *event)
{
    int value = m_firstY;
    switch (event->key()) {
    case Qt::Key_Up: value -= int(m_swatchSize); break;
    case Qt::Key_Down: value += int(m_swatchSize); break;
    case Qt::Key_PageUp: value -= 50; break;
    case Qt::Key_PageDown: value += 50; break;
    default: break;
    }
    scrollTo(value);
}

void MColorSwatchPanel::wheelEvent(QWheelEvent *event)
{
    scrollTo(m_firstY + (event->angleDelta().y() < 0 ? 50 : -50));
}

void MColorSwatchPanel::resizeEvent(QResizeEvent *)
{
    update();
}
