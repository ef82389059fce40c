#pragma once

#include "mviewtool.h"

// Moves the view with the pointer, by whole view pixels.
class MPanTool : public MViewTool
{
    Q_OBJECT
public:
    explicit MPanTool(ToolId toolId = PanTool, QObject *parent = nullptr);

    void mouseMoveEvent(MEvent *event) override;

private:
    QPointF m_step;
};
