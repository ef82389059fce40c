#include "mcolorlist.h"

MColorList::MColorList(QObject *parent)
    : QObject(parent)
{
}

void MColorList::setCurrentColor(const QColor &color)
{
    if (color == m_currentColor)
        return;
    m_currentColor = color;
    emit currentColorChanged(color);
}

void MColorList::setSecondColor(const QColor &color)
{
    if (color == m_secondColor)
        return;
    m_secondColor = color;
    emit secondColorChanged(color);
}

void MColorList::updateColorList(const QColor &color)
{
    if (!color.isValid() || (!m_history.isEmpty() && m_history.first() == color))
        return;
    m_history.removeAll(color);
    m_history.prepend(color);
    while (m_history.size() > historyLimit)
        m_history.removeLast();
    emit historyChanged();
}
