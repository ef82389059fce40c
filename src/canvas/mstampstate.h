#pragma once

#include "mstampfeatures.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QVector>

#include <array>

// What a run's pass sets besides its stamps and its tile.
struct MStampState
{
    MStampFeatures features;
    bool engine = false;            // a brush engine's program, not a variant
    QVector<double> settings;       // the uniform settings, in table order
    std::array<float, 4> borderColor = {};
    std::array<int, 6> blend = {};  // equations, then factors in setting order
    int inheritUnder = 0;
    int alphaEquation = 0;
    bool hasBelow = false;
    bool hasTexture = false;
    bool clipToSelection = false;
    int stampCount = 0;
    QRectF painted;
    QPointF offset;

    // The state of a pass of the values; belowMask is the mask of the layer
    // below, when there is one.
    // A brush's colour from its hue, saturation and value settings, each
    // bounded to 0..1.
    static QColor hsvColor(double h, double s, double v);
    static MStampState of(const double *values, const QPointF &offset, bool hasBelow, int belowMask, bool hasTexture,
                          bool clipToSelection, int stampCount, const QRectF &painted, bool engine);
};
