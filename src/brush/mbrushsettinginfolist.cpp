#include "mbrushsettinginfolist.h"

#include "menum.h"
#include "msettingcategory.h"

namespace {
struct SettingRow
{
    int id;
    const char *label;
    const char *description;
    int type;
    const char *enumName;
    double minimum;
    double defaultValue;
    bool integerDefault; // the stored default is an int variant
    double maximum;
    double step;
    const char *unit;
    bool logarithmic;
    bool percentage;
    bool dynamic;
    bool visible;
};

#define TR(text) QT_TRANSLATE_NOOP("MBrushSettingInfoList", text)
constexpr int D = QMetaType::Double;
constexpr int I = QMetaType::Int;
constexpr int B = QMetaType::Bool;

// Enumeration rows carry their range only as a formality: their editors list
// the keys. Blend rows are not shown in the settings panel.
const SettingRow kRows[] = {
    {MEnum::bsRadius, TR("Radius"), TR("Brush radius in pixels"), D, "", 0.1, 30, false, 1000, 0.1, "pix", true, false, true, true},
    {MEnum::bsSpacing, TR("Spacing"), TR("Brush spacing. The unit depend on spacing type."), D, "", 0.01, 7, true, 500, 1, "", true, false, true, true},
    {MEnum::bsSpacingType, TR("Spacing type"), TR("Spacing type."), I, "SpacingType", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsFlow, TR("Flow"), TR("Brush flow."), D, "", 0, 1, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsOpacity, TR("Opacity"), TR("Brush opacity."), D, "", 0, 1, false, 1, 0.1, "%", false, true, false, true},
    {MEnum::bsHardness, TR("Hardness"), TR("Brush hardness."), D, "", 0, 0.8, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsCompositionMode, TR("Mode"), TR("Composition mode."), I, "CompositionMode", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsAntialiasing, TR("Antialiasing"), TR("Brush Antialiasing."), I, "AntialiasingType", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsRatio, TR("Ratio"), TR("Brush shape ratio width/height."), D, "", 0.001, 1, false, 100, 0.1, "", false, false, true, true},
    {MEnum::bsAngle, TR("Angle"), TR("Brush angle in degrees."), D, "", -180, 0, false, 180, 5, "deg", false, false, true, true},
    {MEnum::bsAngleType, TR("Angle type"), TR("Angle of the brush: constant or follow direction of the stylus."), I, "AngleType", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsMinDistance, TR("Minimal distance"), TR("Minimal distance between two moves (in pixels)."), D, "", 0.2, 0.2, false, 30, 0.1, "pix", false, false, true, true},
    {MEnum::bsSmoothing, TR("Smoothing"), TR("Brush smoothing rate."), D, "", 0, 0.5, false, 0.7, 0.1, "%", false, true, true, true},
    {MEnum::bsShape, TR("Shape"), TR("Brush shape."), I, "BrushShape", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsOffsetX, TR("Offset x"), TR("Offset x (% of the brush radius)."), D, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsOffsetY, TR("Offset y"), TR("Offset y (% of the brush radius)."), D, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsNoise, TR("Opacity noise"), TR("Opacity noise."), D, "", 0, 0, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsDensity, TR("Pixels density"), TR("Pixels density."), D, "", 0, 1, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsAccumulatorDistance, TR("Accumulator Distance"), TR("Accumulator distance."), D, "", 0, 0, false, 500, 1, "pix", true, false, true, true},
    {MEnum::bsEraser, TR("Brush eraser mode"), TR("Brush eraser mode."), B, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsInheritAlphaUnder, TR("Inherit transp. of layer under"), TR("Brush alpha component is inherited from the layer under the current layer."), B, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsInheritAlphaCurrent, TR("Inherit transp. of current layer"), TR("Brush alpha component is inherited from the current layer."), B, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsSourceRgbBlendMode, TR("Source rgb blend mode"), TR("Source (foreground) rgb blend mode."), I, "OpenGLFactor", 0, 1, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsSourceAlphaBlendMode, TR("Source alpha blend mode"), TR("Source (foreground) alpha blend mode."), I, "OpenGLFactor", 0, 771, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsDestinationRgbBlendMode, TR("Destination rgb blend mode"), TR("Destination (background) rgb blend mode."), I, "OpenGLFactor", 0, 1, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsDestinationAlphaBlendMode, TR("Destination alpha blend mode"), TR("Destination (foreground) alpha blend mode."), I, "OpenGLFactor", 0, 771, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsRgbBlendEquation, TR("Rgb blend equation"), TR("Rgb blend equation."), I, "OpenGLEquation", 0, 32774, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsAlphaBlendEquation, TR("Alpha blend equation"), TR("Alpha blend equation."), I, "OpenGLEquation", 0, 32774, true, 1, 0.1, "", false, false, true, false},
    {MEnum::bsColorAbsorbtionRate, TR("Color absorbtion rate"), TR("Color absorbtion rate"), D, "", 0, 0, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsColorFlowingRate, TR("Color flow rate"), TR("Color flow rate"), D, "", 0, 1, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsPreserveTextureColor, TR("Texture color"), TR("Texture color"), I, "TextureColor", 0, 0, true, 1, 0.1, "", false, false, true, true},
    {MEnum::bsFactor, TR("Factor"), TR("Factor"), D, "", 0, 1, false, 1, 0.1, "%", false, true, true, true},
    {MEnum::bsUseBorderColor, TR("Use border color"), TR("Use border color"), B, "", 0, 0, false, 1, 0.1, "", false, false, true, true},
    // Hue reaches -1: QColor::hueF() of a grey colour.
    {MEnum::bsBrushColorHue, TR("Hue"), TR("Color hue"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsBrushColorSaturation, TR("Saturation"), TR("Color saturation"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsBrushColorValue, TR("Value"), TR("Color value"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsBorderColorHue, TR("Border hue"), TR("Border color hue"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsBorderColorSaturation, TR("Border saturation"), TR("Border color saturation"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
    {MEnum::bsBorderColorValue, TR("Border value"), TR("Border color value"), D, "", -1, 0, false, 1, 0.1, "", false, false, true, true},
};
#undef TR
} // namespace

MBrushSettingInfoList::MBrushSettingInfoList(QObject *parent)
    : QObject(parent)
{
    for (const SettingRow &row : kRows) {
        auto *field = new MField;
        setSettingId(field, row.id);
        field->setLabel(tr(row.label));
        field->setDescription(tr(row.description));
        field->setType(row.type);
        field->setEnumName(QByteArray(row.enumName));
        field->setRange(row.minimum, row.maximum);
        field->setSingleStep(row.step);
        field->setSuffix(QString::fromLatin1(row.unit));
        field->setValue(row.integerDefault ? QVariant(int(row.defaultValue)) : QVariant(row.defaultValue));
        field->setLogarithmic(row.logarithmic);
        field->setPercentage(row.percentage);
        field->setDynamic(row.dynamic);
        field->setVisible(row.visible);
        m_fields.insert(row.id, field);
    }
    addCategory(tr("Size"), {0, 1, 2, 11, 18, 14, 15});
    addCategory(tr("Opacity"), {3, 4, 5, 17, 7, 19});
    addCategory(tr("Shape"), {13, 8, 9, 10});
    addCategory(tr("Color"), {28, 29, 30, 32, 33, 34, 35, 36, 37, 38});
    addCategory(tr("Composition"), {6, 21, 20, 22, 23, 24, 25, 26, 27, 31});
}

MBrushSettingInfoList::~MBrushSettingInfoList()
{
    qDeleteAll(m_fields);
}

void MBrushSettingInfoList::addCategory(const QString &description, const QVector<int> &settings)
{
    auto *category = new MSettingCategory(this);
    category->setDescription(description);
    for (int id : settings)
        category->addSetting(id);
    m_categories.append(category);
}

QByteArray MBrushSettingInfoList::settingName(int id)
{
    return MEnum::settingName(id);
}

void MBrushSettingInfoList::setSettingId(MField *record, int id)
{
    if (!record)
        return;
    record->setIndex(id);
    record->setName(settingName(id));
    if (!record->name().isEmpty())
        m_ids.insert(record->name(), id);
}

MField *MBrushSettingInfoList::info(int id) const
{
    return m_fields.value(id, const_cast<MField *>(&m_fallback));
}

MField *MBrushSettingInfoList::info(const QByteArray &name) const
{
    const auto found = m_ids.constFind(name);
    return found == m_ids.constEnd() ? const_cast<MField *>(&m_fallback) : info(found.value());
}

QByteArray MBrushSettingInfoList::name(int id) const
{
    const MField *field = m_fields.value(id);
    return field ? field->name() : QByteArray();
}

QVector<MField *> MBrushSettingInfoList::categorySettings(int category) const
{
    QVector<MField *> fields;
    if (category < 0 || category >= m_categories.size())
        return fields;
    for (int id : m_categories.at(category)->settings())
        fields.append(info(id));
    return fields;
}
