#include "mbrushsizewidget.h"

#include "mbrush.h"
#include "mbrushlist.h"

#include <QMouseEvent>
#include <QPainter>

MBrushSizeWidget::MBrushSizeWidget(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(50);
    setMouseTracking(true);
}

const QVector<double> &MBrushSizeWidget::sizes()
{
    static const QVector<double> list{2, 5, 10, 20, 30, 40, 50};
    return list;
}

int MBrushSizeWidget::cellAt(const QPoint &point) const
{
    if (!rect().contains(point) || width() <= 0)
        return -1;
    return qMin(sizes().size() - 1, point.x() * sizes().size() / width());
}

void MBrushSizeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int count = sizes().size();
    const double cell = double(width()) / count;
    if (m_hoverIndex >= 0)
        painter.fillRect(QRectF(m_hoverIndex * cell, 0, cell, height()), Qt::white);
    painter.setBrush(Qt::black);
    for (int i = 0; i < count; ++i) {
        const double diameter = (i + 1) * cell / count;
        painter.drawEllipse(QPointF((i + 0.5) * cell, height() / 2.0), diameter / 2, diameter / 2);
    }
    double shown = 0;
    if (m_hoverIndex >= 0)
        shown = sizes().at(m_hoverIndex);
    else if (MBrush *brush = MBrushList::instance()->currentBrush())
        shown = brush->radius();
    const QString text = QStringLiteral("%1").arg(shown);
    const QFontMetrics metrics(font());
    const QRect box = QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()).adjusted(-1, -1, 1, 1).translated(1, 1);
    painter.fillRect(box, Qt::darkGray);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void MBrushSizeWidget::mouseMoveEvent(QMouseEvent *event)
{
    m_hoverIndex = -1;
    setFocus();
    const int cell = cellAt(event->pos());
    if (cell >= 0) {
        m_hoverIndex = cell;
        update();
    }
}

void MBrushSizeWidget::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const int cell = cellAt(event->pos());
    if (cell >= 0)
        emit brushSizeChanged(sizes().at(cell));
    update();
}

void MBrushSizeWidget::leaveEvent(QEvent *)
{
    m_hoverIndex = -1;
    update();
}
