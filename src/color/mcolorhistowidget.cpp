#include "mcolorhistowidget.h"

#include "mcolorlist.h"
#include "msettings.h"

#include <QMouseEvent>
#include <QPainter>

MColorHistoWidget::MColorHistoWidget(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(25);
    setMaximumHeight(50);
}

int MColorHistoWidget::cellCount() const
{
    return qMin(MSettings::instance()->colorListLength(), MColorList::instance()->count());
}

QColor MColorHistoWidget::colorOfCell(int cell) const
{
    return MColorList::instance()->colorAt(cellCount() - cell - 1);
}

void MColorHistoWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int n = cellCount();
    if (n < 1)
        return;
    const double cell = double(width()) / n;
    for (int i = 0; i < n; ++i)
        painter.fillRect(QRectF(i * cell, 0, cell, height()), colorOfCell(i));
}

void MColorHistoWidget::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    const int n = cellCount();
    if (n < 1 || width() <= 0)
        return;
    const int cell = qBound(0, event->pos().x() * n / width(), n - 1);
    const QColor color = colorOfCell(cell);
    MColorList::instance()->setColor(color, event->modifiers());
    emit colorChanged(color);
    update();
}
