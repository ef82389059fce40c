#include "mtransform.h"

#include <QtMath>

MTransform::MTransform(QObject *parent)
    : QObject(parent)
{
    reset();
}

void MTransform::updateMatrix()
{
    QTransform rotation;
    rotation.translate(m_centre.x(), m_centre.y());
    rotation.rotate(m_rotation);
    rotation.translate(-m_centre.x(), -m_centre.y());
    const QTransform scaling = QTransform::fromScale(m_scale * (m_flipHorizontal ? -1.0 : 1.0),
                                                     m_scale * (m_flipVertical ? -1.0 : 1.0));
    const QTransform translation = QTransform::fromTranslate(m_translation.x(), m_translation.y());
    m_matrix = rotation * scaling * translation;
    emit update();
}

void MTransform::reset()
{
    m_flipHorizontal = false;
    m_flipVertical = false;
    m_translation = QPointF();
    m_rotation = 0.0;
    m_scale = 1.0;
    m_centre = QPointF();
    m_pivot = QPointF();
    updateMatrix();
}

void MTransform::setTranslation(const QPointF &translation)
{
    m_translation = translation;
    updateMatrix();
}

void MTransform::translate(const QPointF &delta)
{
    m_translation += delta;
    updateMatrix();
}

void MTransform::setRotation(double degrees)
{
    if (qIsNaN(degrees))
        return;
    m_rotation = degrees;
    updateMatrix();
}

void MTransform::setCentre(const QPointF &centre)
{
    m_centre = centre;
}

void MTransform::setScale(double scale, const QPointF &viewPoint)
{
    if (scale == m_scale)
        return;
    const double clamped = qBound(minimumScale, scale, maximumScale);
    const double ratio = clamped / m_scale;
    const QPointF moved = (viewPoint - m_translation) * ratio + m_translation;
    m_translation += viewPoint - moved;
    m_scale = clamped;
    m_pivot = viewPoint;
    updateMatrix();
    emit scaleChanged(clamped);
}

void MTransform::fit(const QRectF &content, double scale, const QPointF &viewCentre)
{
    reset();
    setTranslation(viewCentre - content.center());
    setScale(scale, viewCentre);
}

void MTransform::flipHorizontal()
{
    m_flipHorizontal = !m_flipHorizontal;
    updateMatrix();
}

void MTransform::flipVertical()
{
    m_flipVertical = !m_flipVertical;
    updateMatrix();
}

QPointF MTransform::map(const QPointF &p) const
{
    return m_matrix.map(p);
}

QRectF MTransform::mapRect(const QRectF &r) const
{
    return m_matrix.mapRect(r);
}

QPainterPath MTransform::mapPath(const QPainterPath &path) const
{
    return m_matrix.map(path);
}

QPointF MTransform::mapFromView(const QPointF &p) const
{
    return m_matrix.inverted().map(p);
}

QRectF MTransform::mapRectFromView(const QRectF &r) const
{
    return m_matrix.inverted().mapRect(r);
}

QMatrix4x4 MTransform::matrix4x4() const
{
    return QMatrix4x4(m_matrix);
}

void MTransform::assign(const MTransform &other)
{
    m_translation = other.m_translation;
    m_rotation = other.m_rotation;
    m_scale = other.m_scale;
    m_centre = other.m_centre;
    m_pivot = other.m_pivot;
    m_matrix = other.m_matrix;
    m_flipHorizontal = other.m_flipHorizontal;
    m_flipVertical = other.m_flipVertical;
}
