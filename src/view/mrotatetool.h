#pragma once

#include "mviewtool.h"

// Turns the view with the pointer about the point where the canvas centre is
// shown, and draws the angle while it is the current tool.
class MRotateTool : public MViewTool
{
    Q_OBJECT
public:
    explicit MRotateTool(ToolId toolId = RotateTool, QObject *parent = nullptr);

    void paint(QPainter *painter) override;
    void mouseMoveEvent(MEvent *event) override;

public slots:
    // While dragging the cursor is left to whoever else wants it.
    bool updateCursor(const QPointF &viewPosition, double scale) override;
};
