#include "mstrokestate.h"

#include "mbrush.h"

MStrokeState::MStrokeState()
    : m_brush(new MBrush())
{
}

MStrokeState::~MStrokeState() = default;

void MStrokeState::setBrush(const MBrush *brush)
{
    m_brush->copyFrom(brush);
    m_stampEngine = !m_brush->shaderId().trimmed().isEmpty();
    m_curvedSettings.clear();
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        if (m_brush->settingHasCurve(setting))
            m_curvedSettings.append({setting, m_brush->curves(setting)});
    }
}
