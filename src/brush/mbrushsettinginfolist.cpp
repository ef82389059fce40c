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

// The default is kept in the setting's own type.
#define M_SETTING_ROW(Key, name, Type, label, description, enumName, minimum, defaultValue, maximum, step, unit, flags) \
    {MEnum::bs##Key, qMetaTypeId<Type>(), QT_TRANSLATE_NOOP("MBrushSettingInfoList", label), \
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
