#include "mevent.h"

#include "mrandom.h"

MEvent::MEvent()
{
    init();
}

MEvent::MEvent(const MEvent &a, const MEvent &b, double t)
    : MEvent(a)
{
    for (int i = 0; i < MEnum::biCount; ++i)
        inputs[i] = a.inputs[i] * (1.0 - t) + b.inputs[i] * t;
    type = Move;
    inputs[MEnum::biRandom] = randomInput();
}

void MEvent::init()
{
    type = Press;
    device = 0;
    inputSource = 1;
    pointerType = 1;
    modifiers = Qt::NoModifier;
    button = 0;
    for (double &input : inputs)
        input = 0.0;
    inputs[MEnum::biPressure] = 1.0;
    inputs[MEnum::biRandom] = randomInput();
    viewPosition = QPointF();
}

double MEvent::randomInput()
{
    return MRandom::next() / 32767.0;
}
