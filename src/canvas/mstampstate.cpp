#include "mstampstate.h"

#include "mbrushsettinginfolist.h"
#include "menum.h"

#include <QColor>

namespace {
int flag(double value)
{
    return value != 0.0 ? 1 : 0;
}

} // namespace

QColor MStampState::hsvColor(double h, double s, double v)
{
    return QColor::fromHsvF(qBound(0.0, h, 1.0), qBound(0.0, s, 1.0), qBound(0.0, v, 1.0), 1.0);
}

MStampState MStampState::of(const double *v, const QPointF &offset, bool hasBelow, int belowMask, bool hasTexture,
                            bool clipToSelection, int stampCount, const QRectF &painted, bool engine)
{
    MStampState state;
    const MBrushSettingInfoList *table = MBrushSettingInfoList::instance();
    const QVector<int> &settings = table->uniformSettings();
    state.settings.reserve(settings.size());
    for (int setting : settings)
        state.settings.append(v[setting]);
    const QColor border = hsvColor(v[MEnum::bsBorderColorHue], v[MEnum::bsBorderColorSaturation],
                                   v[MEnum::bsBorderColorValue]);
    state.borderColor = {float(border.redF()), float(border.greenF()), float(border.blueF()), float(border.alphaF())};
    // The factors go in setting order: the defaults (1, 771, 1, 771) make
    // premultiplied source-over on colour and alpha.
    state.blend = {int(v[MEnum::bsRgbBlendEquation]),     int(v[MEnum::bsAlphaBlendEquation]),
                   int(v[MEnum::bsSourceRgbBlendMode]),   int(v[MEnum::bsSourceAlphaBlendMode]),
                   int(v[MEnum::bsDestinationRgbBlendMode]), int(v[MEnum::bsDestinationAlphaBlendMode])};
    state.hasBelow = hasBelow;
    state.inheritUnder = hasBelow ? (flag(v[MEnum::bsInheritAlphaUnder]) | (belowMask != 0 ? 1 : 0)) : 0;
    state.alphaEquation = hasBelow ? belowMask : 0;
    state.hasTexture = hasTexture;
    state.clipToSelection = clipToSelection;
    state.stampCount = stampCount;
    state.painted = painted;
    state.offset = offset;
    state.engine = engine;
    state.features = MStampFeatures::fromValues(v, state.hasTexture, state.clipToSelection, state.inheritUnder != 0);
    return state;
}
