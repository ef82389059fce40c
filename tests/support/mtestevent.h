#pragma once

#include "mevent.h"

#include <QPointF>
#include <QString>

// Input samples for handing straight to tools, and point comparison.
namespace MTestEvent {

// A left-button sample of the type at a position that is both its view and
// its canvas position (a view that was never shown maps one onto the other).
MEvent leftSample(int type, const QPointF &position);
// Both coordinates within the tolerance.
bool near(const QPointF &a, const QPointF &b, double tolerance = 1e-3);
// "(x, y)" with four decimals, for failure messages.
QString text(const QPointF &p);

} // namespace MTestEvent
