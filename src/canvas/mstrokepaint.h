#pragma once

#include <QColor>

class MBrush;

// What a stroke paints with: the brush and the two colours chosen above the
// document when the stroke is pressed. Without a brush a press paints nothing.
struct MStrokePaint
{
    MBrush *brush = nullptr;
    QColor color;
    QColor secondColor;
};
