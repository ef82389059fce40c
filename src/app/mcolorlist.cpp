#include "mcolorlist.h"

#include "msettings.h"

// The length is fixed for the life of the instance; the strips that show the
// history read the setting themselves.
MColorList::MColorList(QObject *parent)
    : QObject(parent)
    , m_maximumLength(MSettings::instance()->colorListLength())
{
}

QColor MColorList::colorAt(int index) const
{
    if (index < 0 || index >= m_history.size())
        return QColor(Qt::black);
    return m_history.at(index);
}

void MColorList::setColor(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    // A cancelled colour dialog hands over an invalid colour: painting with
    // it would lay down nothing visible, so the current colours stay.
    if (!color.isValid())
        return;
    QColor &target = modifiers == Qt::NoModifier ? m_currentColor : m_secondColor;
    if (target == color)
        return;
    target = color;
    emit colorChanged(color, modifiers);
}

void MColorList::setColor(const QColor &color)
{
    setColor(color, Qt::NoModifier);
}

void MColorList::updateColorList(const QColor &color)
{
    if (!color.isValid() || m_history.contains(color))
        return;
    m_history.append(color);
    if (m_maximumLength > 0 && m_history.size() > m_maximumLength)
        m_history.removeFirst();
    emit colorAdded(color);
}

void MColorList::clear()
{
    m_history.clear();
    const QColor black(Qt::black);
    if (m_currentColor != black) {
        m_currentColor = black;
        emit colorChanged(black, Qt::NoModifier);
    }
}
