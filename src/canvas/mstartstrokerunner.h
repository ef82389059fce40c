#pragma once

#include "mevent.h"
#include "mrunner.h"

#include <QColor>

class MBrush;

// Begins a stroke in one slot: the brush and the colours are taken into the
// shared data when the runner is built, the slot's values and the stroke
// layer's mode when it runs.
class MStartStrokeRunner : public MRunner
{
    Q_OBJECT
public:
    MStartStrokeRunner(MSharedData *sharedData, int layerIndex, int slot, const MEvent &event, const MBrush *brush,
                       const QColor &foreground, const QColor &background);

public slots:
    void run() override;

private:
    int m_slot;
    MEvent m_event;
};
