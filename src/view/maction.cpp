#include "maction.h"

MAction::MAction(QObject *parent)
    : QObject(parent)
    , m_description(QLatin1String(""))
    , m_shortCut(QLatin1String(""))
{
}

void MAction::set_description(const QString &value)
{
    if (value == m_description)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MAction::set_shortCut(const QString &value)
{
    if (value == m_shortCut)
        return;
    m_shortCut = value;
    emit shortCutChanged(value);
}

void MAction::set_action(QAction *value)
{
    if (value == m_action)
        return;
    m_action = value;
    emit actionChanged(value);
}
