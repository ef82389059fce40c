#pragma once

#include "mplacingtool.h"

#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QImage>
#include <QPainterPath>
#include <QSizeF>

class MAnimFrame;
class MEvent;
class MBrushStyle;
class MStrokeStyle;

// The shape tool: one item made from the shape library's current shape,
// moved, resized by eight handles and rotated by its corners, then pasted
// into the current layer as one undo step.
class MShapeTool : public MPlacingTool
{
    Q_OBJECT
    Q_PROPERTY(MBrushStyle *brushStyle READ brushStyle NOTIFY brushStyleChanged)
    Q_PROPERTY(MStrokeStyle *strokeStyle READ strokeStyle NOTIFY strokeStyleChanged)
public:
    enum GrabMode {
        NoGrab = 0, MoveGrab = 1, TopGrab, BottomGrab, LeftGrab, RightGrab, TopLeftGrab, TopRightGrab,
        BottomLeftGrab, BottomRightGrab, RotateGrab
    };

    MShapeTool(ToolId toolId, QObject *parent = nullptr);
    ~MShapeTool() override;

    MBrushStyle *brushStyle() const { return m_brushStyle; }
    MStrokeStyle *strokeStyle() const { return m_strokeStyle; }
    QPainterPath path() const { return m_path; }
    bool hasItem() const override { return !m_path.isEmpty(); }
    double angle() const { return m_angle; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    QPointF position() const { return m_position; }
    int grabMode() const { return m_grabMode; }

    // The item's bounds grown by half the stroke, in canvas coordinates.
    QRectF itemRect() const;
    int hitTest(const QPointF &canvasPoint) const;
    // The item as it is pasted; null without a view or an item.
    QImage renderImage() const;

    // Shared with the text tool, which frames its item the same way.
    static QPointF eventPosition(const MEvent *event);
    // On the view's grid when it aligns to it.
    static QPointF snapped(const QPointF &point);
    static bool inRotationZone(const QRectF &frame, const QPointF &viewPoint);
    static int draggedAngle(const QPointF &centre, const QPointF &press, const QPointF &p, int angleAtPress, int step);
    // The dashed frame, the handles given and the rotation icons, in view coordinates.
    static void paintFrame(QPainter *painter, const QRectF &frame, const MAnimFrame *animation,
                           const QVector<QPointF> &handles, const QIcon *rotationIcons);
    // Turned about its centre, then centred on (0, 0).
    static QPainterPath rotatedAndCentred(const QPainterPath &path, double angle);
    // Control: the outline colour; Shift: the gradient colour; else the fill colour.
    static void applyColor(MStrokeStyle *stroke, MBrushStyle *brush, const QColor &color,
                           Qt::KeyboardModifiers modifiers);
    // Makes path (canvas coordinates) the document's selection, combined by
    // mode, and hands over to the selection tool.
    static void selectPath(const QPainterPath &path, int mode);
    static QImage renderPath(const QPainterPath &path, const QRectF &rect, const QBrush &brush, const QPen &pen);

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;
    void setFirstPoint(const QPointF &point) override;
    using MTool::setPoint;

public slots:
    void computeBuildPath();
    void init();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers) override;
    void apply(Qt::KeyboardModifiers modifiers) override;
    void apply();
    void applyAsSelection();
    void setShape();
    void setAngle(double angle);
    void setWidth(double width);
    void setHeight(double height);
    void setPoint(const QPointF &point) { setFirstPoint(point); }
    void resetTransfo();

signals:
    void brushStyleChanged(MBrushStyle *style);
    void strokeStyleChanged(MStrokeStyle *style);
    void angleChanged(double angle);
    void widthChanged(double width);
    void heightChanged(double height);
    void imagePointChanged(const QPointF &point);

protected:
    bool dropForEscape() override;

private:
    void cursorFor(int mode);
    void readSettings();
    void writeSettings() const;

    MBrushStyle *m_brushStyle;
    MStrokeStyle *m_strokeStyle;
    int m_grabMode = NoGrab;
    QPainterPath m_path;
    QCursor m_rotationCursor;
    QPointF m_pressPoint;
    QPointF m_positionAtPress;
    QRectF m_rectAtPress;
    int m_angleAtPress = 0;
    QIcon m_rotationIcons[4];
    QSizeF m_initialSize{100, 100};
    double m_angle = 0;
    double m_width = 100;
    double m_height = 100;
    QPointF m_position;
};
