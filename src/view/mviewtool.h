#pragma once

#include "mtool.h"

// What the pan, rotate and zoom tools share: they take every press, work in
// view coordinates and show an open hand, closed while dragging.
class MViewTool : public MTool
{
    Q_OBJECT
public:
    using MTool::MTool;

    bool mousePressEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;

public slots:
    bool updateCursor(const QPointF &viewPosition, double scale) override;

protected:
    bool dragging() const { return m_dragging; }

    // The view position of the press; panning and turning carry it along
    // with the pointer.
    QPointF m_lastPosition;

private:
    bool m_dragging = false;
};
