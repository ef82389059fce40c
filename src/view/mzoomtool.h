#pragma once

#include "mtool.h"

// Zooms the view by dragging, keeping the canvas centre where it is shown:
// 400 view pixels double the scale one way and bring it to nothing the other.
class MZoomTool : public MTool
{
    Q_OBJECT
public:
    explicit MZoomTool(ToolId toolId = ZoomTool, QObject *parent = nullptr);

    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;

public slots:
    bool updateCursor(const QPointF &viewPosition, double scale) override;

private:
    QPointF m_pressPosition;
    bool m_dragging = false;
    double m_startScale = 0.0;
};
