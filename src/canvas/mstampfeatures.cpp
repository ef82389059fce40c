#include "mstampfeatures.h"

#include "menum.h"

namespace {
// The radius from which most of a stamp's fragments lie away from the pixels
// that straddle its rims, and its samples are best gone through in a loop.
constexpr double sampleLoopRadius = 12.0;

int flag(double value)
{
    return value != 0.0 ? 1 : 0;
}

} // namespace

quint64 MStampFeatures::key() const
{
    quint64 k = quint64(quint32(composition));
    k = (k << 2) | quint64(antialiasing & 3);
    k = (k << 2) | quint64(preserveTextureColor & 3);
    k = (k << 1) | quint64(shape & 1);
    for (bool flag : {texture, feedback, density, clip, inheritUnder, inheritCurrent, border, sampleLoop})
        k = (k << 1) | quint64(flag ? 1 : 0);
    return k;
}

QByteArray MStampFeatures::defines() const
{
    QByteArray lines("#define STAMP_VARIANT 1\n");
    auto define = [&lines](const char *name, int value) {
        lines += "#define ";
        lines += name;
        lines += ' ';
        lines += QByteArray::number(value);
        lines += '\n';
    };
    define("STAMP_ANTIALIASING", antialiasing);
    define("STAMP_TEXTURE", texture ? 1 : 0);
    define("STAMP_FEEDBACK", feedback ? 1 : 0);
    define("STAMP_COMPOSITION", composition);
    define("STAMP_SHAPE", shape);
    define("STAMP_DENSITY", density ? 1 : 0);
    define("STAMP_CLIP", clip ? 1 : 0);
    define("STAMP_INHERIT_UNDER", inheritUnder ? 1 : 0);
    define("STAMP_INHERIT_CURRENT", inheritCurrent ? 1 : 0);
    define("STAMP_BORDER", border ? 1 : 0);
    define("STAMP_PRESERVE_COLOR", texture ? preserveTextureColor : 0);
    define("STAMP_SAMPLE_LOOP", sampleLoop ? 1 : 0);
    return lines;
}

MStampFeatures MStampFeatures::fromValues(const double *v, bool texture, bool clip, bool inheritUnder)
{
    MStampFeatures features;
    features.antialiasing = int(v[MEnum::bsAntialiasing]);
    features.texture = texture;
    features.feedback = v[MEnum::bsColorAbsorbtionRate] != 0.0;
    features.composition = int(v[MEnum::bsCompositionMode]);
    features.shape = int(v[MEnum::bsShape]);
    // As the program compares it: in single precision.
    features.density = float(v[MEnum::bsDensity]) < 1.0f;
    features.clip = clip;
    features.inheritUnder = inheritUnder;
    features.inheritCurrent = flag(v[MEnum::bsInheritAlphaCurrent]) != 0;
    features.border = flag(v[MEnum::bsUseBorderColor]) != 0;
    features.preserveTextureColor = texture ? int(v[MEnum::bsPreserveTextureColor]) : 0;
    features.sampleLoop = v[MEnum::bsRadius] >= sampleLoopRadius;
    return features;
}
