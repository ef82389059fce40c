#pragma once

#include "mplacingtool.h"

#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QImage>
#include <QPainterPath>

class MAnimFrame;
class MBrushStyle;
class MFontStyle;
class MStrokeStyle;

// The text tool: one line of text placed as an outline, moved, sized by its
// bottom handle and rotated by its corners, then pasted into the current
// layer as one undo step. The string, place and angle belong to the view.
class MTextTool : public MPlacingTool
{
    Q_OBJECT
    Q_PROPERTY(MStrokeStyle *strokeStyle READ strokeStyle NOTIFY strokeStyleChanged)
    Q_PROPERTY(MBrushStyle *brushStyle READ brushStyle NOTIFY brushStyleChanged)
    Q_PROPERTY(MFontStyle *fontStyle READ fontStyle NOTIFY fontStyleChanged)
public:
    enum GrabMode { NoGrab = 0, MoveGrab = 1, HeightGrab = 2, RotateGrab = 3 };

    MTextTool(ToolId toolId, QObject *parent = nullptr);

    MStrokeStyle *strokeStyle() const { return m_strokeStyle; }
    MBrushStyle *brushStyle() const { return m_brushStyle; }
    MFontStyle *fontStyle() const { return m_fontStyle; }
    QPainterPath path() const { return m_path; }
    bool hasItem() const override { return !m_path.isEmpty(); }
    QString text() const;
    double textAngle() const;
    int textHeight() const;
    QPointF textPoint() const { return point(0); }

    QRectF itemRect() const;
    int hitTest(const QPointF &canvasPoint) const;
    QImage renderImage() const;

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseHoverEvent(MEvent *event) override;

public slots:
    void init();
    void apply(Qt::KeyboardModifiers modifiers) override;
    void apply();
    void applyAsSelection();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers) override;
    void setTextAngle(double angle);
    void setTextHeight(int height);
    void setTextPoint(const QPointF &point);
    void setText(const QString &text);

signals:
    void strokeStyleChanged(MStrokeStyle *style);
    void brushStyleChanged(MBrushStyle *style);
    void fontStyleChanged(MFontStyle *style);
    void textAngleChanged(double angle);
    void textHeightChanged(int height);
    void textPointChanged(const QPointF &point);
    void textChanged(const QString &text);
    // A click placed or took the item: the keyboard belongs to the text.
    void textEntryWanted();
    // The item went (placed, made a selection or dropped): what the painter
    // types next is for the canvas again.
    void textEntryDone();

private slots:
    void computeBuildPath();

protected:
    bool dropForEscape() override;

private:
    void cursorFor(int mode);
    // Drops the item being placed.
    void dropItem();

    MStrokeStyle *m_strokeStyle;
    MBrushStyle *m_brushStyle;
    MFontStyle *m_fontStyle;
    int m_grabMode = NoGrab;
    QPainterPath m_path;
    QCursor m_rotationCursor;
    QCursor m_textCursor;
    QPointF m_pressPoint;
    QPointF m_positionAtPress;
    int m_heightAtPress = 0;
    int m_angleAtPress = 0;
    QIcon m_rotationIcons[4];
};
