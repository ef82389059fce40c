#include "mtestmainwindow.h"

#include "mcanvas.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestview.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace MTestMainWindow {

bool prepare(const QSize &documentSize)
{
    MSettings::instance()->clear();
    MSettings::instance()->set_textDuration(0);
    return MTestView::prepare(documentSize);
}

bool show(MMainWindow *window, const QSize &size)
{
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    MCanvas *canvas = window->view()->canvas();
    if (!QTest::qWaitFor([canvas] { return canvas->isGlReady() && canvas->current(); }))
        return false;
    // The view animates to its fitted zoom; aim the pointer only after that.
    QTest::qWait(700);
    return true;
}

void mouse(QWidget *widget, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent e(type, pos, widget->mapToGlobal(pos.toPoint()), button, buttons, modifiers);
    QApplication::sendEvent(widget, &e);
}

bool drag(MWidget *view, const QPointF &docFrom, const QPointF &docTo, int steps)
{
    const QPointF from = view->transform()->map(docFrom);
    const QPointF to = view->transform()->map(docTo);
    if (!view->rect().contains(from.toPoint()) || !view->rect().contains(to.toPoint()))
        return false;
    mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= steps; ++i)
        mouse(view, QEvent::MouseMove, from + (to - from) * (double(i) / steps), Qt::NoButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    return true;
}

QImage layerPixels(MCanvas *canvas, int row)
{
    canvas->makeCurrent();
    return MTestCanvas::layerImage(canvas->at(row), canvas->paintedRect().toRect());
}

} // namespace MTestMainWindow
