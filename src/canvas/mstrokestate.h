#pragma once

#include "menum.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QVector>

#include <memory>

class MBrush;
class MCurve;

// What the strokes in every slot share while the pen is down: a copy of the
// brush with the settings its curves modulate, the colours, the layer, the
// stamps placed and the rectangles painted.
class MStrokeState
{
public:
    MStrokeState();
    ~MStrokeState();

    void setBrush(const MBrush *brush);
    MBrush *brush() const { return m_brush.get(); }
    // The stroke's brush stamps with a brush engine's program of its own.
    bool hasStampEngine() const { return m_stampEngine; }
    // The brush's settings that input curves modulate, in setting order,
    // each with its curves in the order the brush gives them.
    struct CurvedSetting
    {
        int setting;
        QList<MCurve *> curves;
    };
    const QVector<CurvedSetting> &curvedSettings() const { return m_curvedSettings; }

    int layerIndex = -1;
    QColor foregroundColor;
    QColor backgroundColor;
    // The document's painted rectangle at the press, and what the stroke painted.
    QRectF startPaintedRect;
    QRectF paintedRect;
    int stampCounter = 0;
    // The brush's values at stroke start, by setting id.
    double baseValues[MEnum::bsCount] = {};

private:
    std::unique_ptr<MBrush> m_brush;
    bool m_stampEngine = false;
    QVector<CurvedSetting> m_curvedSettings;
};
