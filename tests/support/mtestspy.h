#pragma once

#include <QSignalSpy>
#include <QVariantList>

// The first argument of every emission the spy saw, in order.
QVariantList spyValues(const QSignalSpy &spy);
