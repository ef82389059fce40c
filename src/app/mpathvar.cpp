#include "mpathvar.h"

MPathVar::MPathVar(QObject *parent)
    : QObject(parent)
{
}

void MPathVar::set_description(const QString &description)
{
    if (description == m_description)
        return;
    m_description = description;
    emit descriptionChanged(description);
}

void MPathVar::set_variable(const QString &variable)
{
    if (variable == m_variable)
        return;
    m_variable = variable;
    emit variableChanged(variable);
}
