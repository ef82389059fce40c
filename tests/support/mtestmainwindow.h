#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QStringList>

#include <memory>

class MCanvas;
class MMainWindow;
class MTool;
class MWidget;
class QToolBar;
class QWidget;

// Drives the real main window as a painter would: a fresh window on fresh
// settings, mouse input on the canvas view, and the pixels that input left.
namespace MTestMainWindow {

// Fresh settings (no on-canvas message delays) and the size of new documents;
// false when OpenGL is not there.
bool prepare(const QSize &documentSize);

// Shows the window at the given size and waits until its document can paint
// and the view has settled on its fitted zoom; false when it never could.
bool show(MMainWindow *window, const QSize &size);

// prepare() and show() for a new main window: the shown window, or null when
// either failed.
std::unique_ptr<MMainWindow> open(const QSize &documentSize, const QSize &windowSize);

void mouse(QWidget *widget, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A left-button drag between two document points in `steps` moves; false
// (and no input sent) when either end is out of the view.
bool drag(MWidget *view, const QPointF &docFrom, const QPointF &docTo, int steps = 40);
// A drag that holds still at its end, so that a tool sees the end point
// itself, with the modifiers held throughout.
bool dragAndHold(MWidget *view, const QPointF &docFrom, const QPointF &docTo,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A press at one canvas point and a move to another handed straight to the
// tool, so that its geometry is exact (the view smooths real mouse input);
// false when the tool did not take the press.
bool toolGesture(MTool *tool, const QPointF &from, const QPointF &to,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Gives the view the keyboard focus (it takes keys only then), activating its
// window again while other test windows on the same display take it away;
// false when it never got it.
bool focusView(MWidget *view);

// The view's own picture at a document point, once it has repainted.
QColor shownAt(MWidget *view, const QPointF &docPoint);

// How many pixels of the image are not fully transparent.
int paintedPixels(const QImage &image);
// How many pixels of the image's column x are not fully transparent.
int paintedRows(const QImage &image, int x);

// The pixels of one layer (-1: the current one) over the document's painted
// rectangle.
QImage layerPixels(MCanvas *canvas, int row = -1);

// Opens a menu of the window's menu bar with a click and clicks the command
// in it; false when the menu or the command is missing, the command is
// disabled or the menu never opened or closed.
bool chooseCommand(MMainWindow *window, const char *menuName, const char *actionName);

// What a bar holds, in order, one entry each: "|" for a spacer, "label X",
// "action X" and "button X" by their texts, else "<class> <object name>".
QStringList barContents(const QToolBar *bar);

// Picks the shape of that description in the shape bar's panel, by its
// filter and a click on its row; the current shape's description after it.
QString chooseShape(MMainWindow *window, const QString &description);

} // namespace MTestMainWindow
