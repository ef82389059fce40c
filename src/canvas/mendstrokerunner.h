#pragma once

#include "mevent.h"
#include "mrunner.h"

// Ends the stroke: the stroke layer's touched tiles are merged into the
// stroke's layer as one undo step, with the growth of the painted rectangle,
// and the stroke layer is emptied (its tiles let go past a few).
class MEndStrokeRunner : public MRunner
{
    Q_OBJECT
public:
    MEndStrokeRunner(MSharedData *sharedData, int slot, const MEvent &event);

public slots:
    void run() override;

private:
    int m_slot;
    MEvent m_event;
};
