#pragma once

#include <QString>

// A page of the preferences dialog (the brush settings have categories of their own).
struct MPreferenceCategory
{
    QString key;
    QString label;
    QString text;
    bool flag = false;
};
