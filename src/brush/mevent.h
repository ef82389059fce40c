#pragma once

#include "menum.h"

#include <QPointF>

// One pointer sample of the canvas view: what happened, with which device,
// buttons and modifiers, and the stroke inputs that drive the brush curves.
class MEvent
{
public:
    enum Type { Press = 0, Hover = 1, Move = 2, Release = 3, Wheel = 4, DoubleClick = 5 };

    MEvent();
    // The sample at fraction t from a to b: a's fields, inputs mixed linearly,
    // a drag move with a fresh random input.
    MEvent(const MEvent &a, const MEvent &b, double t);
    MEvent(const MEvent &other) = default;
    MEvent &operator=(const MEvent &other) = default;
    virtual ~MEvent() = default;

    void init();

    bool hasShiftModifier() const { return modifiers.testFlag(Qt::ShiftModifier); }
    bool hasControlModifier() const { return modifiers.testFlag(Qt::ControlModifier); }
    bool hasAltModifier() const { return modifiers.testFlag(Qt::AltModifier); }
    QPointF canvasPosition() const { return QPointF(inputs[MEnum::biPositionX], inputs[MEnum::biPositionY]); }

    int type = Press;
    int device = 0;
    int inputSource = 1;  // 1 mouse, 2 tablet pen in contact
    int pointerType = 1;  // the tablet's pointer type; 1 for the mouse
    Qt::KeyboardModifiers modifiers;
    int button = 0;       // the mouse button of the press that started the gesture
    double inputs[MEnum::biCount] = {};
    QPointF viewPosition; // in view (widget) coordinates

private:
    static double randomInput();
};
