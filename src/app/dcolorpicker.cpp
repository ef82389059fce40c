#include "dcolorpicker.h"
#include "ui_dcolorpicker.h"

#include "mwindowcommands.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {
// Keeps the swatch clear of the cursor, so the colour read is never the
// swatch's own.
const QPoint cursorOffset(10, 10);
} // namespace

// A pop-up takes the pointer and the keyboard as soon as it shows, with or
// without a window manager, so the next click anywhere is the pick and never
// reaches the window under it.
DColorPicker::DColorPicker(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
    , ui(new Ui::DColorPicker)
{
    ui->setupUi(this);
    m_rect = QRect(0, 0, 50, 50);
    setFixedSize(m_rect.size());
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
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
    m_color = colorAt(QCursor::pos());
    show();
    setCursor(Qt::CrossCursor);
}

void DColorPicker::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        // The modifiers held at the release choose which colour the pick sets.
        QDialog::keyPressEvent(event);
        return;
    default:
        break;
    }
    // While the picker holds the keyboard the window's shortcuts cannot see
    // the key: it goes to them once the picker has gone.
    QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    close();
    if (!window)
        window = QApplication::activeWindow();
    const int modifiers = int(event->modifiers() & ~Qt::KeypadModifier);
    MWindowCommands::triggerShortcut(window, QKeySequence(modifiers | event->key()));
}

void DColorPicker::mouseMoveEvent(QMouseEvent *event)
{
    m_color = colorAt(event->globalPos());
    move(event->globalPos() + cursorOffset);
    update();
}

// The press only starts the click: the pick is where the button comes up.
void DColorPicker::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void DColorPicker::mouseReleaseEvent(QMouseEvent *event)
{
    m_color = colorAt(event->globalPos());
    update();
    close();
    emit colorChanged(m_color, event->modifiers());
}

void DColorPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(m_color);
    painter.setPen(QPen(Qt::darkGray));
    painter.drawRect(m_rect.adjusted(0, 0, -1, -1));
}
