#include "mtestview.h"

#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace MTestView {

bool prepare(const QSize &documentSize)
{
    MLogger::instance();
    if (!MOpenGL::instance()->initialize())
        return false;
    MSettings::instance()->set_defaultWidth(documentSize.width());
    MSettings::instance()->set_defaultHeight(documentSize.height());
    return true;
}

void mouse(QWidget *widget, int type, const QPointF &position, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(QEvent::Type(type), position, widget->mapToGlobal(position.toPoint()), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget *widget, const QPointF &position)
{
    mouse(widget, QEvent::MouseButtonPress, position, Qt::LeftButton, Qt::LeftButton);
    mouse(widget, QEvent::MouseButtonRelease, position, Qt::LeftButton, Qt::NoButton);
}

} // namespace MTestView
