#pragma once

#include "mtool.h"

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QVector>

class MAnimFrame;
class MBrushStyle;
class MStrokeStyle;

// Builds an outline in one of seven shapes, combines it with the document's
// selection by the selection mode, and owns the commands on the whole
// selection (select all, invert, reset, fill, stroke, a history of the last
// ten). It draws the marching ants of the selection whatever tool is current.
// Selections are document state, never undo steps.
class MSelectionTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(MBrushStyle *brushStyle READ brushStyle NOTIFY brushStyleChanged)
    Q_PROPERTY(MStrokeStyle *strokeStyle READ strokeStyle NOTIFY strokeStyleChanged)
public:
    enum SelectionMode {
        ReplaceSelectionMode = 0,
        AddSelectionMode = 1,
        SubtractSelectionMode = 2,
        IntersectionSelectionMode = 3
    };
    Q_ENUM(SelectionMode)

    enum SelectionShape {
        RectangleSelection = 0,
        EllipseSelection = 1,
        PolygonSelection = 2,
        CurveSelection = 3,
        StarSelection = 4,
        RoundedStarSelection = 5,
        FreeSelection = 6
    };
    Q_ENUM(SelectionShape)

    // The star-corner box of the option bar offers this range.
    static constexpr int minimumStarCount = 1;
    static constexpr int maximumStarCount = 64;
    static constexpr int historyLimit = 10;

    // The selection after combining path into it by mode; an empty selection
    // is always replaced.
    static QPainterPath combined(const QPainterPath &selection, const QPainterPath &path, int mode);

    MSelectionTool(ToolId toolId, QObject *parent = nullptr);

    MBrushStyle *brushStyle() const { return m_brushStyle; }
    MStrokeStyle *strokeStyle() const { return m_strokeStyle; }
    MAnimFrame *animFrame() const { return m_animFrame; }
    QPainterPath buildPath() const { return m_buildPath; }
    int buildStep() const { return m_buildStep; }
    int selectionShape() const { return m_selectionShape; }
    int selectionMode() const { return m_selectionMode; }
    int starCount() const { return m_starCount; }
    QVector<QPointF> starHandles() const { return m_starHandles; }
    QPointF cursorPoint() const { return m_cursorPoint; }
    // Oldest first.
    QList<QPainterPath> selectionHistory() const { return m_history; }
    int historyIndex() const { return m_historyIndex; }

    // The star of the current control points: 2n vertices alternating tip
    // and inner corner; empty for no tips or fewer than two points.
    QPolygonF starPolygon();

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;

public slots:
    void activate(bool on) override;
    void resetBuild();
    void apply(Qt::KeyboardModifiers modifiers);
    void apply();
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers) override;
    void selectAll();
    void setSelection(const QPainterPath &path);
    void select(const QRectF &rect);
    void invertSelection();
    void invertSelection(const QRectF &rect);
    void nextSelection();
    void previousSelection();
    void setSelectionMode(int mode);
    void setSelectionShape(int shape);
    void setStarCount(int count);
    void setSelectionPath(const QPainterPath &path);
    void fillSelection();
    void strokeSelection();
    void resetSelection();
    void storeClip(const QPainterPath &path);

signals:
    void brushStyleChanged(MBrushStyle *style);
    void strokeStyleChanged(MStrokeStyle *style);

private:
    // Kinds of the event being handled.
    enum LastEvent { NoEvent = 0, CanvasPress = 1, PointPress = 2, Drag = 3, Hover = 4, Release = 5 };

    void handleShape(const QPointF &position);
    // Rectangles and stars: a press on the canvas applies what is pending
    // and starts two points; the drag moves the second.
    void startOutline(const QPointF &position);
    void moveLastPoint(const QPointF &position);
    void rectangleHandler(const QPointF &position);
    void polygonHandler(const QPointF &position);
    void starHandler(const QPointF &position);
    void freeHandler(const QPointF &position);
    void rebuild();
    // The document's selection becomes path; the ants and the history follow.
    void changeSelection(const QPainterPath &path, bool remember);
    void followSelection();
    void remember(const QPainterPath &path);
    void stepHistory(int delta);
    void clearBuild();

    MBrushStyle *m_brushStyle;
    MStrokeStyle *m_strokeStyle;
    MAnimFrame *m_animFrame;
    QPainterPath m_buildPath;
    int m_buildStep = 0;
    int m_lastEvent = NoEvent;
    bool m_releaseAfterDrag = false;
    int m_selectionShape = RectangleSelection;
    QVector<QPointF> m_starHandles;
    int m_starCount = 6;
    QPointF m_cursorPoint;
    QList<QPainterPath> m_history;
    int m_historyIndex = -1;
    int m_selectionMode = ReplaceSelectionMode;
};
