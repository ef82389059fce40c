#pragma once

#include "mcontrol.h"

// The on-canvas layer list of the canvas view. For now it shows nothing and
// takes no input; it already forwards the request to edit the current
// layer's effect parameters.
class MLayerListControl : public MControl
{
    Q_OBJECT
public:
    explicit MLayerListControl(QObject *parent = nullptr);

signals:
    void editShaderParams();
};
