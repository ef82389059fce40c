#include "msettingcategory.h"

#include <QUuid>

MSettingCategory::MSettingCategory(QObject *parent)
    : QObject(parent)
{
    clear();
}

void MSettingCategory::clear()
{
    m_settings.clear();
    m_id = QUuid::createUuid().toString();
}

void MSettingCategory::setDescription(const QString &description)
{
    if (description == m_description)
        return;
    m_description = description;
    emit descriptionChanged(description);
}

void MSettingCategory::addSetting(int setting)
{
    if (m_settings.contains(setting))
        return;
    m_settings.append(setting);
    emit settingsChanged(m_settings);
}
