#pragma once

#include <QByteArray>
#include <QtGlobal>

// The code paths of the built-in stamping program a brush uses, fixed
// when its variant is compiled.
struct MStampFeatures
{
    int antialiasing = 0;
    bool texture = false;
    bool feedback = false;
    int composition = 0;
    int shape = 0;
    bool density = false;           // density below 1: random holes
    bool clip = false;              // clipped to the selection
    bool inheritUnder = false;      // masked by the layer below
    bool inheritCurrent = false;    // only over the current layer's paint
    bool border = false;            // border colour towards the rim
    int preserveTextureColor = 0;   // with a texture only
    // Antialiased samples in a loop that the fragments not needing them
    // leave at once: cheaper for large stamps, dearer for small ones,
    // where nearly every fragment needs them.
    bool sampleLoop = true;
    quint64 key() const;
    // The preprocessor lines of the variant.
    QByteArray defines() const;

    // The code paths of the stamping program that the values use.
    static MStampFeatures fromValues(const double *values, bool texture, bool clip, bool inheritUnder);
};
