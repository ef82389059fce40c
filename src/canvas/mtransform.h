#pragma once

#include <QMatrix4x4>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

// The mapping between canvas coordinates (document pixels) and view
// coordinates (pixels of the canvas view): a rotation about a centre, a
// uniform zoom with two mirror flags about the canvas origin, then a
// translation, composed into one matrix.
class MTransform : public QObject
{
    Q_OBJECT
public:
    static constexpr double minimumScale = 0.01;
    static constexpr double maximumScale = 40.0;

    explicit MTransform(QObject *parent = nullptr);

    void updateMatrix();
    void reset();
    void setTranslation(const QPointF &translation);
    void translate(const QPointF &delta);
    void setRotation(double degrees);
    // Takes effect at the next rebuild of the matrix.
    void setCentre(const QPointF &centre);
    // Zooms about a view point: the canvas point under it stays there.
    void setScale(double scale, const QPointF &viewPoint);
    // Shows content at the given scale (clamped) with its centre on a view
    // point: no rotation, no flip.
    void fit(const QRectF &content, double scale, const QPointF &viewCentre);
    void flipHorizontal();
    void flipVertical();

    QPointF map(const QPointF &p) const;
    QRectF mapRect(const QRectF &r) const;
    QPainterPath mapPath(const QPainterPath &path) const;
    QPointF mapFromView(const QPointF &p) const;
    QRectF mapRectFromView(const QRectF &r) const;
    QMatrix4x4 matrix4x4() const;

    // Every field, the matrix included, without rebuilding or signals.
    void assign(const MTransform &other);

    QPointF translation() const { return m_translation; }
    double rotation() const { return m_rotation; }
    double scale() const { return m_scale; }
    QPointF centre() const { return m_centre; }
    QPointF pivot() const { return m_pivot; }
    QTransform matrix() const { return m_matrix; }
    bool isFlippedHorizontally() const { return m_flipHorizontal; }
    bool isFlippedVertically() const { return m_flipVertical; }

signals:
    void update();
    void scaleChanged(double scale);

private:
    QPointF m_translation;
    double m_rotation = 0.0;
    double m_scale = 1.0;
    QPointF m_centre;
    QPointF m_pivot;
    QTransform m_matrix;
    bool m_flipHorizontal = false;
    bool m_flipVertical = false;
};
