#include "dcolorpicker.h"
#include "ui_dcolorpicker.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {
// Keeps the swatch clear of the cursor, so the colour read is never the
// swatch's own.
const QPoint cursorOffset(10, 10);
} // namespace

DColorPicker::DColorPicker(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::DColorPicker)
{
    ui->setupUi(this);
    m_rect = QRect(0, 0, 50, 50);
    setFixedSize(m_rect.size());
}

DColorPicker::~DColorPicker()
{
    delete ui;
}

QColor DColorPicker::colorAt(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QColor(Qt::black);
    const QImage image = screen->grabWindow(0, globalPos.x(), globalPos.y(), 1, 1).toImage();
    if (image.isNull())
        return QColor(Qt::black);
    QColor color = image.pixelColor(0, 0);
    color.setAlpha(255);
    return color;
}

void DColorPicker::activate()
{
    move(QCursor::pos() + cursorOffset);
    show();
}

bool DColorPicker::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        grabMouse();
        setCursor(Qt::CrossCursor);
        setMouseTracking(true);
    }
    return QDialog::event(event);
}

void DColorPicker::mouseMoveEvent(QMouseEvent *event)
{
    m_color = colorAt(event->globalPos());
    move(QCursor::pos() + cursorOffset);
    update();
}

void DColorPicker::mouseReleaseEvent(QMouseEvent *event)
{
    m_color = colorAt(event->globalPos());
    setCursor(Qt::ArrowCursor);
    setMouseTracking(false);
    releaseMouse();
    update();
    emit colorChanged(m_color, event->modifiers());
    close();
}

void DColorPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(m_color);
    painter.setPen(QPen(Qt::darkGray));
    painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
}
