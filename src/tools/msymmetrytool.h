#pragma once

#include "mtool.h"

#include <QPolygonF>

// The symmetry guide: an axis through two control points (or rays about the
// first one) and a number, kept per view. It gives every canvas point its
// mirrored or rotated images, which the brush tool paints one stroke each.
class MSymmetryTool : public MTool
{
    Q_OBJECT
public:
    MSymmetryTool(ToolId toolId, QObject *parent = nullptr);

    // p itself first, then its images while the guide is shown. The order
    // and the count stay the same for a given number, so image i of every
    // sample of a stroke belongs to the same copy.
    QPolygonF symmetricPoints(const QPointF &p) const;

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;

public slots:
    void setSymmetryNumber(int n);
    bool updateCursor(const QPointF &viewPosition, double scale) override;

signals:
    void symmetryNumberChanged(int n);
};
