#include "mhistogramitem.h"

MHistogramItem::MHistogramItem(QObject *parent)
    : QObject(parent)
{
}

#define M_SETTER(Name, member)                                                                                       \
    void MHistogramItem::set_##Name(int value)                                                                       \
    {                                                                                                                \
        if (member == value)                                                                                         \
            return;                                                                                                  \
        member = value;                                                                                              \
        emit Name##Changed(value);                                                                                   \
    }

M_SETTER(redCount, m_redCount)
M_SETTER(greenCount, m_greenCount)
M_SETTER(blueCount, m_blueCount)
M_SETTER(grayCount, m_grayCount)

#undef M_SETTER
