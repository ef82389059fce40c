#pragma once

#include "mevent.h"

#include <QVector>

class QPainterPath;

// A path as the pen events that would paint it: per subpath a press, a move
// to each point at least half a pixel on from the last (two time units per
// move, the speed and direction they make) and a release, each event taking
// over the inputs of the one before it.
class MPathEvents
{
public:
    static QVector<MEvent> fromPath(const QPainterPath &path);
};
