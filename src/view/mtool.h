#pragma once

#include <QObject>
#include <QPointF>

class MEvent;
class QKeyEvent;
class QPainter;
class QWheelEvent;

// What the canvas view hands a tool: input samples, wheel and key events,
// the cursor and the overlay. Every handler does nothing by default.
class MTool : public QObject
{
    Q_OBJECT
public:
    explicit MTool(QObject *parent = nullptr);

    // Canvas pixels a drag must cover before a sample reaches the tool; 0
    // lets every sample through and delivers the press at once.
    virtual double size() const { return 0.0; }

    virtual void mousePressEvent(MEvent *) {}
    virtual void mouseMoveEvent(MEvent *) {}
    virtual void mouseHoverEvent(MEvent *) {}
    virtual void mouseReleaseEvent(MEvent *) {}
    virtual void mouseDoubleClickEvent(MEvent *) {}
    virtual void wheelEvent(QWheelEvent *) {}
    virtual void keyPressEvent(QKeyEvent *) {}
    // True when the tool has set the cursor.
    virtual bool updateCursor(const QPointF &, double) { return false; }
    virtual void paint(QPainter *) {}
};
