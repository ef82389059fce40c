#pragma once

#include "mviewtool.h"

// Zooms the view by dragging, keeping the canvas centre where it is shown:
// 400 view pixels double the scale one way and bring it to nothing the other.
class MZoomTool : public MViewTool
{
    Q_OBJECT
public:
    explicit MZoomTool(ToolId toolId = ZoomTool, QObject *parent = nullptr);

    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;

private:
    double m_startScale = 0.0;
};
