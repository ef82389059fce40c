#include "mtestview.h"

#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mwidget.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
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

QImage lastFrame(MWidget *view)
{
    view->makeCurrent();
    QOpenGLExtraFunctions *f = view->context()->extraFunctions();
    const QSize size = view->size() * view->devicePixelRatioF();
    QOpenGLFramebufferObject copy(size);
    // The view's target may be multisampled: the blit resolves it.
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, view->defaultFramebufferObject());
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, copy.handle());
    f->glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(), GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    f->glBindFramebuffer(GL_FRAMEBUFFER, view->defaultFramebufferObject());
    const QImage image = copy.toImage();
    view->doneCurrent();
    return image;
}

} // namespace MTestView
