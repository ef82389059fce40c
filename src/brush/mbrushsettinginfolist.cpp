#include "mbrushsettinginfolist.h"

#include "menum.h"
#include "msettingcategory.h"

#include <cstring>

namespace {
struct SettingRow
{
    int id;
    int type;
    const char *label;
    const char *description;
    const char *enumName;
    double minimum;
    QVariant defaultValue;
    double maximum;
    double step;
    const char *unit;
    const char *flags;
};

// The build numbers the enumeration from the rows' ids; an enumeration made
// from an older table fails here rather than mixing up settings.
#define M_SETTING_ID_CHECK(Id, Key, ...) \
    static_assert(MEnum::bs##Key == Id, "MEnum::bs" #Key " is not the id of its row");
M_BRUSH_SETTINGS(M_SETTING_ID_CHECK)
#undef M_SETTING_ID_CHECK
#define M_SETTING_COUNT(...) +1
static_assert(MEnum::bsCount == 0 M_BRUSH_SETTINGS(M_SETTING_COUNT), "MEnum::BrushSetting has other rows than the table");
#undef M_SETTING_COUNT

// The default is kept in the setting's own type.
#define M_SETTING_ROW(Id, Key, name, Type, label, description, enumName, minimum, defaultValue, maximum, step, unit, flags) \
    {Id, qMetaTypeId<Type>(), QT_TRANSLATE_NOOP("MBrushSettingInfoList", label), \
     QT_TRANSLATE_NOOP("MBrushSettingInfoList", description), enumName, minimum, QVariant::fromValue(Type(defaultValue)), \
     maximum, step, unit, flags},

bool hasFlag(const SettingRow &row, char flag)
{
    return std::strchr(row.flags, flag) != nullptr;
}
} // namespace

MBrushSettingInfoList::MBrushSettingInfoList(QObject *parent)
    : QObject(parent)
{
    const SettingRow table[] = {M_BRUSH_SETTINGS(M_SETTING_ROW)};
    for (const SettingRow &row : table) {
        auto *field = new MField;
        setSettingId(field, row.id);
        field->setLabel(tr(row.label));
        field->setDescription(tr(row.description));
        field->setType(row.type);
        field->setEnumName(QByteArray(row.enumName));
        field->setRange(row.minimum, row.maximum);
        field->setSingleStep(row.step);
        field->setSuffix(QString::fromLatin1(row.unit));
        field->setValue(row.defaultValue);
        field->setLogarithmic(hasFlag(row, 'l'));
        field->setPercentage(hasFlag(row, 'p'));
        field->setDynamic(hasFlag(row, 'd'));
        field->setVisible(hasFlag(row, 'v'));
        m_fields.insert(row.id, field);
        if (hasFlag(row, 'u'))
            m_uniformSettings.append(row.id);
    }
    addCategory(tr("Size"), {MEnum::bsRadius, MEnum::bsSpacing, MEnum::bsSpacingType, MEnum::bsMinDistance,
                             MEnum::bsAccumulatorDistance, MEnum::bsOffsetX, MEnum::bsOffsetY});
    addCategory(tr("Opacity"), {MEnum::bsFlow, MEnum::bsOpacity, MEnum::bsHardness, MEnum::bsDensity,
                                MEnum::bsAntialiasing, MEnum::bsEraser});
    addCategory(tr("Shape"), {MEnum::bsShape, MEnum::bsRatio, MEnum::bsAngle, MEnum::bsAngleType});
    addCategory(tr("Color"), {MEnum::bsColorAbsorbtionRate, MEnum::bsColorFlowingRate, MEnum::bsPreserveTextureColor,
                              MEnum::bsUseBorderColor, MEnum::bsBrushColorHue, MEnum::bsBrushColorSaturation,
                              MEnum::bsBrushColorValue, MEnum::bsBorderColorHue, MEnum::bsBorderColorSaturation,
                              MEnum::bsBorderColorValue});
    addCategory(tr("Composition"), {MEnum::bsCompositionMode, MEnum::bsInheritAlphaCurrent, MEnum::bsInheritAlphaUnder,
                                    MEnum::bsSourceRgbBlendMode, MEnum::bsSourceAlphaBlendMode,
                                    MEnum::bsDestinationRgbBlendMode, MEnum::bsDestinationAlphaBlendMode,
                                    MEnum::bsRgbBlendEquation, MEnum::bsAlphaBlendEquation, MEnum::bsFactor});
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
