#include "mcompositionmode.h"

MCompositionMode::MCompositionMode(QObject *parent)
    : QObject(parent)
{
}

MCompositionMode::MCompositionMode(int mode, const QString &description, bool usedByBrush, QObject *parent)
    : QObject(parent)
    , m_mode(mode)
    , m_description(description)
    , m_usedByBrush(usedByBrush)
{
}

void MCompositionMode::set_mode(int value)
{
    if (m_mode == value)
        return;
    m_mode = value;
    emit modeChanged(value);
}

void MCompositionMode::set_description(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MCompositionMode::set_usedByBrush(bool value)
{
    if (m_usedByBrush == value)
        return;
    m_usedByBrush = value;
    emit usedByBrushChanged(value);
}
