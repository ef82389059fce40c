#include "dgrabwidget.h"
#include "ui_dgrabwidget.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>

namespace {
// Keeps the square clear of the cursor, so the widget under the cursor is
// never the square itself.
const QPoint cursorOffset(10, 10);
} // namespace

DGrabWidget::DGrabWidget(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::DGrabWidget)
{
    ui->setupUi(this);
    m_rect = QRect(0, 0, 50, 50);
    setFixedSize(m_rect.width(), m_rect.height());
}

DGrabWidget::~DGrabWidget()
{
    delete ui;
}

void DGrabWidget::activate()
{
    move(QCursor::pos() + cursorOffset);
    show();
}

bool DGrabWidget::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        grabMouse();
        setCursor(Qt::CrossCursor);
        setAttribute(Qt::WA_MouseTracking, true);
    }
    return QDialog::event(event);
}

void DGrabWidget::mouseMoveEvent(QMouseEvent *event)
{
    m_color = qobject_cast<QToolBar *>(QApplication::widgetAt(event->globalPos())) ? QColor(Qt::green)
                                                                                  : QColor(Qt::red);
    move(event->globalPos() + cursorOffset);
    update();
    QDialog::mouseMoveEvent(event);
}

void DGrabWidget::mouseReleaseEvent(QMouseEvent *event)
{
    finish();
    QDialog::mouseReleaseEvent(event);
}

void DGrabWidget::keyPressEvent(QKeyEvent *event)
{
    // Every other key is swallowed: Return must not accept, nor anything
    // else close the square.
    if (event->key() == Qt::Key_Escape)
        finish();
}

void DGrabWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(QBrush(m_color, Qt::SolidPattern));
    painter.setPen(QPen(Qt::darkGray));
    painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
}

void DGrabWidget::finish()
{
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_MouseTracking, false);
    releaseMouse();
    close();
}
