#pragma once

#include "mtool.h"

#include <QPainterPath>
#include <QPointF>

// The line tool: points placed by clicks make a single segment, a polyline or
// a smooth curve, previewed dashed and painted with the current brush as one
// undo step. Straight lines snap to angle steps with Control, follow a shown
// perspective guide (else the ruler) and can be roughened to look hand drawn.
class MLineTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int lineType READ lineType WRITE set_lineType NOTIFY lineTypeChanged)
    Q_PROPERTY(bool closeFigure READ closeFigure WRITE set_closeFigure NOTIFY closeFigureChanged)
    Q_PROPERTY(bool handDraw READ handDraw WRITE set_handDraw NOTIFY handDrawChanged)
    Q_PROPERTY(int angleStep READ angleStep WRITE set_angleStep NOTIFY angleStepChanged)
public:
    enum LineType { SingleLineType = 0, PolyLineType = 1, CurvedLineType = 2 };
    Q_ENUM(LineType)

    MLineTool(ToolId toolId, QObject *parent = nullptr);

    int lineType() const { return m_lineType; }
    bool closeFigure() const { return m_closeFigure; }
    bool handDraw() const { return m_handDraw; }
    int angleStep() const { return m_angleStep; }
    QPainterPath buildPath() const { return m_buildPath; }
    QPointF cursorPoint() const { return m_cursorPoint; }

    // q held on the nearest lower angle step about the first point, with the
    // angle shown as a hint; q itself while there is no point.
    QPointF constrainAngle(const QPointF &q);
    // Every segment replaced by short wobbly pieces, each its own subpath.
    static QPainterPath handDrawn(const QPainterPath &path);

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(MEvent *event) override;

public slots:
    void set_lineType(int value);
    void set_closeFigure(bool value);
    void set_handDraw(bool value);
    void set_angleStep(int value);
    void activate(bool on) override;
    void init();
    void resetBuildPath();
    void computeBuildPath();
    void apply(Qt::KeyboardModifiers modifiers);
    void apply();

signals:
    void lineTypeChanged(int value);
    void closeFigureChanged(bool value);
    void handDrawChanged(bool value);
    void angleStepChanged(int value);

private:
    // The end of the segment from a to b after the shown guides.
    static QPointF alignedEnd(const QPointF &a, const QPointF &b, bool useRuler);

    int m_lineType = SingleLineType;
    bool m_closeFigure = false;
    bool m_handDraw = false;
    int m_angleStep = 5;
    QPainterPath m_buildPath;
    QPointF m_cursorPoint;
};
