#include "mlistpanel.h"

#include "mlistpaneldelegate.h"
#include "mlistwidget.h"
#include "mtablemodel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

MListPanel::MListPanel(MListWidget *listWidget) : QWidget(listWidget), m_listWidget(listWidget)
{
    setFocusPolicy(Qt::StrongFocus);
}

void MListPanel::setFirstY(int y)
{
    if (y == m_firstY)
        return;
    m_firstY = y;
    emit firstYChanged(y);
    update();
}

void MListPanel::scrollBy(int delta)
{
    const int y = qMax(0, qMin(m_firstY + delta, m_listWidget->maximumOffset()));
    if (y != m_firstY)
        setFirstY(y);
}

int MListPanel::rowAt(const QPoint &point) const
{
    const int row = int((m_firstY + point.y()) / m_listWidget->rowPitch());
    return row >= 0 && row < m_listWidget->rowCount() ? row : -1;
}

void MListPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    MTableModel *model = m_listWidget->sourceModel();
    MListPanelDelegate *delegate = m_listWidget->delegate();
    if (!model || !delegate)
        return;
    const int first = int(m_firstY / m_listWidget->rowPitch());
    QObject *current = model->currentItem();
    for (int row = qMax(0, first); row < model->count(); ++row) {
        const QRectF rowRect = m_listWidget->rowRect(row).translated(0, -m_firstY);
        QObject *item = model->item(row);
        painter.save();
        delegate->paint(&painter, item, rowRect, item == current);
        painter.restore();
        if (rowRect.top() > height())
            break;
    }
}

void MListPanel::keyPressEvent(QKeyEvent *event)
{
    const int pitch = int(m_listWidget->rowPitch());
    switch (event->key()) {
    case Qt::Key_Up: scrollBy(-pitch); break;
    case Qt::Key_Down: scrollBy(pitch); break;
    case Qt::Key_PageUp: scrollBy(-m_step); break;
    case Qt::Key_PageDown: scrollBy(m_step); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void MListPanel::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    // A sideways turn of the wheel is no reason to scroll up or down.
    if (delta != 0)
        scrollBy(delta < 0 ? m_step : -m_step);
    event->accept();
}

void MListPanel::chooseRowAt(const QPoint &point, bool doubleClick)
{
    setFocus(Qt::MouseFocusReason);
    const int row = rowAt(point);
    if (row >= 0) {
        m_listWidget->sourceModel()->setCurrentRow(row);
        if (doubleClick)
            emit m_listWidget->doubleClick();
        else
            emit m_listWidget->click();
    }
    update();
}

void MListPanel::mousePressEvent(QMouseEvent *event)
{
    chooseRowAt(event->pos(), false);
}

void MListPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    chooseRowAt(event->pos(), true);
}

void MListPanel::resizeEvent(QResizeEvent *)
{
    update();
}
