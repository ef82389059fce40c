#pragma once

#include "mevent.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

class MTool;
class QMainWindow;

// Input samples for handing straight to tools, their overlays, and point
// comparison.
namespace MTestTool {

// A left-button sample of the type at a position that is both its view and
// its canvas position (a view that was never shown maps one onto the other).
MEvent leftSample(int type, const QPointF &position);
// Both coordinates within the tolerance.
bool near(const QPointF &a, const QPointF &b, double tolerance = 1e-3);
// "(x, y)" with four decimals, for failure messages.
QString text(const QPointF &p);
// What the tool paints over a transparent view of the size.
QImage overlay(MTool *tool, const QSize &size);
// Gives the window the option bar and the action of the tool with the key
// ("SelectionTool" gives "selectionToolBar" and "actionSelectionTool"), and
// the brush tool's action, then builds the registry's tools on it.
void initRegistry(QMainWindow *window, const QString &toolKey);

} // namespace MTestTool
