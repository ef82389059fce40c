#pragma once

#include "mstrokepaint.h"
#include "mstrokestyle.h"

#include <QBrush>
#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QObject>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QVariant>
#include <QVector>

class MCanvas;
class MDocumentRenderer;
class MEvent;
class MLayerEdits;
class MLayerStack;
class MPaper;
class MSelection;
class MToolValues;
class MUndoHistory;
class QKeyEvent;
class QPainter;
class QPainterPath;
class QWheelEvent;

// Base of every tool of the canvas view. A tool keeps no pointer to the view
// or its document: it reaches both through the tool registry, and its control
// points live in the current view's tool values under its point-list id, so
// the same tool object edits the points of whichever view is current.
// Every handler does nothing by default; presses and keys are not taken.
class MTool : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int toolId READ toolId NOTIFY toolIdChanged)
    Q_PROPERTY(int pointId READ pointId WRITE set_pointId NOTIFY pointIdChanged)
    Q_PROPERTY(bool visible READ visible WRITE set_visible NOTIFY visibleChanged)
    Q_PROPERTY(bool locked READ locked WRITE set_locked NOTIFY lockedChanged)
    Q_PROPERTY(QCursor cursor READ cursor NOTIFY cursorChanged)
    Q_PROPERTY(MStrokeStyle *lineStyle READ lineStyle NOTIFY lineStyleChanged)
    Q_PROPERTY(bool applyOnDeactivate READ applyOnDeactivate WRITE set_applyOnDeactivate NOTIFY applyOnDeactivateChanged)
    Q_PROPERTY(QPen defaultPen READ defaultPen NOTIFY defaultPenChanged)
    Q_PROPERTY(QBrush defaultBrush READ defaultBrush NOTIFY defaultBrushChanged)
    Q_PROPERTY(int pointSize READ pointSize WRITE set_pointSize NOTIFY pointSizeChanged)
public:
    // The key names build the object names of the tools' actions, option bars
    // and docks; MeshTool has a key but no tool.
    enum ToolId {
        BrushTool = 0,
        GridTool = 1,
        SymmetryTool = 2,
        MeshTool = 3,
        LineTool = 4,
        SelectionTool = 5,
        ImageTool = 6,
        ShapeTool = 7,
        TextTool = 8,
        PerspectiveTool = 9,
        FillTool = 10,
        FillSelectionTool = 11,
        GradientTool = 12,
        ComicStripTool = 13,
        PanTool = 14,
        RotateTool = 15,
        ZoomTool = 16,
        RullerTool = 17
    };
    Q_ENUM(ToolId)

    static const QColor handleColor;         // control points
    static const QColor selectedHandleColor; // the selected control point
    static const QColor guideLineColor;

    explicit MTool(ToolId toolId, QObject *parent = nullptr);

    int toolId() const { return m_toolId; }
    int pointId() const { return m_pointId; }
    bool visible() const { return m_visible; }
    bool locked() const { return m_locked; }
    QCursor cursor() const { return m_cursor; }
    MStrokeStyle *lineStyle() const { return m_lineStyle; }
    bool applyOnDeactivate() const { return m_applyOnDeactivate; }
    QPen defaultPen() const { return m_defaultPen; }
    QBrush defaultBrush() const { return m_defaultBrush; }
    int pointSize() const { return m_pointSize; }
    // The control point a subclass has grabbed or selected, -1 for none.
    int selectedPoint() const { return m_selectedPoint; }
    void setSelectedPoint(int index) { m_selectedPoint = index; }

    // The control points and values of this tool in the current view; the
    // neutral values without a view.
    QPointF point(int index) const;
    int pointCount() const;
    QVector<QPointF> points() const;
    QPolygonF polygon() const;
    QVariant value(int valueId) const;
    int intValue(int valueId) const;
    double doubleValue(int valueId) const;
    // The handle square around a point, in the coordinates of the point.
    QRectF pointRect(const QPointF &p) const;
    // Translates every control point so that the first lands on p.
    void moveTo(const QPointF &p);

    static void drawInfiniteLine(QPainter *painter, const QPointF &a, const QPointF &b, const QRectF &clip);
    static void drawHandle(QPainter *painter, const QPointF &centre, int size);
    static void drawIcon(QPainter *painter, const QPointF &centre, const QIcon &icon, int size);
    static QRectF centeredRect(const QPointF &centre, const QSizeF &size);
    // The rectangle after dragging one of its handles by delta (handle codes:
    // 2 top, 3 bottom, 4 left, 5 right, 6..9 the corners top-left, top-right,
    // bottom-left, bottom-right; others leave it alone). Without free the
    // aspect ratio is kept and edges grow symmetrically.
    static QRectF resizeRect(int handle, const QPointF &delta, const QRectF &rect, bool free);

    // Canvas pixels a drag must cover before a sample reaches the tool; 0
    // lets every sample through and delivers the press at once.
    virtual double size() const { return 0.0; }
    virtual void drawPoints(QPainter *painter, bool mapped);
    virtual void drawPoint(QPainter *painter, const QPointF &point, const QPen &pen, const QBrush &brush,
                           bool mapped);
    virtual void drawPointDefault(QPainter *painter, const QPointF &point, bool mapped);
    virtual void paint(QPainter *painter);
    // True when the tool takes the press (and with it the gesture).
    virtual bool mousePressEvent(MEvent *event);
    virtual void mouseMoveEvent(MEvent *event);
    virtual void mouseReleaseEvent(MEvent *event);
    virtual void mouseHoverEvent(MEvent *event);
    // True when the tool takes the key.
    virtual bool keyPressEvent(QKeyEvent *event);
    // A key this tool needs even where a window shortcut has it (a tool
    // placing an item confirms with Ctrl+Return, which also locks the layer).
    virtual bool takesKey(const QKeyEvent *event) const { return false; }
    // Return, or the keypad's Enter, which confirms like it.
    static bool isConfirmKey(const QKeyEvent *event);
    // The brush and the colours chosen above the document: what the tools
    // that stroke paint with.
    static MStrokePaint currentPaint();
    virtual void wheelEvent(QWheelEvent *event);
    virtual void mouseDoubleClickEvent(MEvent *event);
    // True when the current layer can be painted; otherwise tells the user
    // when asked to.
    virtual bool canDraw(bool showMessage);
    virtual int pointIndexAt(MEvent *event);
    // The lowest index of a control point whose handle holds the view
    // position, -1 when none (or locked, hidden, no view).
    virtual int pointIndex(const QPointF &viewPosition);
    virtual void setFirstPoint(const QPointF &point);

public slots:
    void set_pointId(int value);
    void set_visible(bool value);
    void set_locked(bool value);
    void set_applyOnDeactivate(bool value);
    void set_pointSize(int value);
    virtual void activate(bool on);
    // True when the tool claims the cursor; its cursor property holds it.
    virtual bool updateCursor(const QPointF &viewPosition, double scale);
    virtual void setValue(int valueId, const QVariant &value);
    virtual void addPoint(const QPointF &point);
    virtual void setPoint(int index, const QPointF &point);
    virtual void removePoint(int index);
    virtual void setPoints(const QVector<QPointF> &points);
    virtual void removePoint();
    virtual void clearPoints();
    virtual void setColor(const QColor &color, Qt::KeyboardModifiers modifiers);
    virtual void showText(const QString &text);
    virtual void refresh();

signals:
    void toolIdChanged(int value);
    void pointIdChanged(int value);
    void visibleChanged(bool value);
    void lockedChanged(bool value);
    void cursorChanged(const QCursor &value);
    void lineStyleChanged(MStrokeStyle *value);
    void applyOnDeactivateChanged(bool value);
    void defaultPenChanged(const QPen &value);
    void defaultBrushChanged(const QBrush &value);
    void pointSizeChanged(int value);
    void toolChanged(MTool *tool);

protected:
    // The current view's tool values, null without a view.
    static MToolValues *toolValues();
    // The parts of the current view's document a tool works on, each null
    // without a view; the document itself for what only it does (strokes,
    // the selection outline, the painted rectangle's undo step).
    static MCanvas *document();
    static MLayerStack *layers();
    static MLayerEdits *edits();
    static MSelection *selection();
    static MPaper *paper();
    static MUndoHistory *history();
    static MDocumentRenderer *renderer();
    // What only the document does, on the current view's; nothing without a
    // view. The outline becomes the selection (an empty one clears it), with
    // its mask redrawn.
    static void setDocumentSelection(const QPainterPath &outline);
    // Strokes with the paint as the brush would, each call one undo step:
    // every sub-path of the path (0 when nothing was painted), or a line.
    static int strokePath(const QPainterPath &path, bool clip, const MStrokePaint &paint);
    static void strokeLine(const QPointF &from, const QPointF &to, const MStrokePaint &paint);
    // True when the current layer of a ready document takes a stroke.
    static bool canStroke();
    void setCursor(const QCursor &cursor);
    // Guides that are moved by their handles: a press takes the gesture only
    // on a handle, which it selects, and the cursor shows the handle.
    bool grabHandleAt(MEvent *event);
    bool updateHandleCursor(const QPointF &viewPosition);

    int m_selectedPoint = -1;

private:
    int m_toolId;
    int m_pointId = -1;
    bool m_visible = false;
    bool m_locked = false;
    QCursor m_cursor;
    MStrokeStyle *m_lineStyle = nullptr;
    bool m_applyOnDeactivate = true;
    QPen m_defaultPen;
    QBrush m_defaultBrush;
    int m_pointSize = 12;
};
