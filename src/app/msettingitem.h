#pragma once

#include <QString>

// One row of the setting-description table the preferences dialog is built from.
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

    QString key;
    QString label;
    QString category;
    int type = 10; // QMetaType id: 1 bool, 2 int, 6 double, 10 text, 64 font, 67 colour
    QString enumName;
    bool visible = true;
    double minimum = -1.0;
    double maximum = -1.0;
};
