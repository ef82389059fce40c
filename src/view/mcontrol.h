#pragma once

#include <QObject>
#include <QPointF>
#include <QRectF>

class MEvent;
class QPainter;
class QWheelEvent;

// An interactive element drawn over the canvas that sees input before any
// tool. Each handler returns true when the control consumed the event; the
// base consumes nothing. A disabled or hidden control is expected to refuse.
class MControl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE set_enabled NOTIFY enabledChanged)
    Q_PROPERTY(bool visible READ visible WRITE set_visible NOTIFY visibleChanged)
public:
    explicit MControl(QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    bool visible() const { return m_visible; }

    // Routes a press, hover, move or release sample to its handler; any
    // other type is refused without calling anything.
    bool dispatch(MEvent *e);

public slots:
    void set_enabled(bool value);
    void set_visible(bool value);

    // The area the control covers, in view coordinates.
    virtual QRectF rect();
    virtual void paintGL();
    virtual void paint(QPainter *painter);
    virtual bool wheelEvent(QWheelEvent *e);
    virtual bool mousePressEvent(MEvent *e);
    virtual bool mouseMoveEvent(MEvent *e);
    virtual bool mouseReleaseEvent(MEvent *e);
    virtual bool mouseHoverEvent(MEvent *e);
    virtual bool mouseDoubleClickEvent(MEvent *e);
    // True when the control set the view's cursor itself.
    virtual bool updateCursor(const QPointF &viewPosition);

signals:
    void enabledChanged(bool value);
    void visibleChanged(bool value);

private:
    bool m_enabled = true;
    bool m_visible = true;
};
