#pragma once

#include "mcontrol.h"

#include <QPointer>

class MCanvas;
class MTransform;
class MWidget;
class QOpenGLVertexArrayObject;

// The strip of layer thumbnails along one edge of the canvas view, the
// top-most layer first. The current layer carries icons that toggle its
// visibility and lock and open its properties; a click selects a layer and
// a drag scrolls the strip.
class MLayerListControl : public MControl
{
    Q_OBJECT
public:
    enum Icon { VisibilityIcon, LockIcon, EditIcon };

    explicit MLayerListControl(MWidget *view);

    int offset() const { return m_offset; }
    int position() const { return m_position; }
    int maximumOffset() const;
    // Where layer i sits along the strip, before the offset.
    int place(int row) const;
    QRectF squareRect(int row) const;
    QRectF iconRect(const QRectF &square, int icon) const;
    QRectF badgeRect(const QRectF &square) const;
    QRectF nameRect(const QRectF &square) const;
    QRectF opacityBarRect(const QRectF &square, double opacity) const;
    bool isOnScreen(const QRectF &square) const;
    // The background colour and opacity of layer i's thumbnail.
    QColor squareColor(int row, double *opacity) const;
    // The top-most layer under a view point, or -1.
    int layerAt(const QPointF &viewPosition) const;

public slots:
    void setPosition(int value);
    void ensureVisible(int row);

    QRectF rect() override;
    void paintGL() override;
    void paint(QPainter *painter) override;
    bool updateCursor(const QPointF &viewPosition) override;
    bool mousePressEvent(MEvent *e) override;
    bool mouseMoveEvent(MEvent *e) override;
    bool mouseReleaseEvent(MEvent *e) override;
    bool mouseDoubleClickEvent(MEvent *e) override;

signals:
    void layerSelected(int row);
    void editShaderParams();
    void editLayer(int row);

private:
    MCanvas *canvas() const;
    int size() const;
    void clampOffset();
    double along(const QPointF &point) const;

    QPointer<MWidget> m_view;
    int m_offset = 0;
    int m_position = 0;
    bool m_dragging = false;
    QPointF m_lastPosition;
    MTransform *m_fit;
    QOpenGLVertexArrayObject *m_vao;

    static constexpr double margin = 3.0;
    static constexpr double iconSize = 16.0;
    static constexpr double opacityBarHeight = 3.0;
};
