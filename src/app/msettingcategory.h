#pragma once

#include <QString>

// A page of the preferences dialog.
struct MSettingCategory
{
    QString key;
    QString label;
    QString text;
    bool flag = false;
};
