#pragma once

#include <QPointF>
#include <QSize>
#include <Qt>

class MWidget;
class QImage;
class QWidget;

namespace MTestView {

// The logger, the OpenGL holder and the default document size that canvas
// views made afterwards start with; false when OpenGL is not there.
bool prepare(const QSize &documentSize);

// A mouse event sent straight to the widget, as the window system would.
void mouse(QWidget *widget, int type, const QPointF &position, Qt::MouseButton button, Qt::MouseButtons buttons);
// A left press and release at one point.
void click(QWidget *widget, const QPointF &position);

// The view's last frame as it holds it, read back without painting a new one
// (a grab repaints the whole view first).
QImage lastFrame(MWidget *view);

} // namespace MTestView
