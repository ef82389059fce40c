#pragma once

#include "mtool.h"

// Turns the view with the pointer about the point where the canvas centre is
// shown, and draws the angle while it is the current tool.
class MRotateTool : public MTool
{
    Q_OBJECT
public:
    explicit MRotateTool(ToolId toolId = RotateTool, QObject *parent = nullptr);

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;

public slots:
    bool updateCursor(const QPointF &viewPosition, double scale) override;

private:
    QPointF m_lastPosition;
    bool m_dragging = false;
};
