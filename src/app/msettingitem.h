#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// One row of the settings table: the key, its type (a QMetaType id), its
// default and range, and where the preferences dialog shows it.
class MSettingItem
{
public:
    MSettingItem() = default;
    MSettingItem(const QString &key, const QString &label, const QString &category, int type,
                 const QString &enumName = QString(), double minimum = -1.0, double maximum = -1.0)
        : key(key), label(label), category(category), type(type), enumName(enumName), minimum(minimum), maximum(maximum)
    {
    }
    virtual ~MSettingItem() = default;

    // The type of the stored value: a font is stored by its family name.
    int storageType() const { return type == QMetaType::QFont ? int(QMetaType::QString) : type; }

    QString key;
    QString label;
    // Empty for a setting the preferences dialog does not show.
    QString category;
    int type = QMetaType::QString;
    QString enumName;
    bool visible = true;
    // -1 means "no bound".
    double minimum = -1.0;
    double maximum = -1.0;
    QVariant defaultValue;
    // Whether a written value is brought into [minimum, maximum].
    bool clamped = false;
};
