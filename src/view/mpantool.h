#pragma once

#include "mtool.h"

// Moves the view with the pointer, by whole view pixels.
class MPanTool : public MTool
{
    Q_OBJECT
public:
    explicit MPanTool(ToolId toolId = PanTool, QObject *parent = nullptr);

    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;

public slots:
    bool updateCursor(const QPointF &viewPosition, double scale) override;

private:
    QPointF m_lastPosition;
    QPointF m_step;
    bool m_dragging = false;
};
