#include "mlayer.h"

#include <QUuid>

MLayer::MLayer(QObject *parent)
    : MShaderObject(parent)
    , m_name(tr("Layer"))
{
    setImageGuid(newGuid());
}

MLayer::~MLayer() = default;

QString MLayer::newGuid()
{
    return QUuid::createUuid().toString().toUpper();
}

void MLayer::clear()
{
}

bool MLayer::isEmpty() const
{
    return false;
}

void MLayer::copyProperties(const MLayer *other)
{
    if (!other || other == this)
        return;
    m_mask = other->m_mask;
    m_type = other->m_type;
    m_name = other->m_name;
    m_opacity = other->m_opacity;
    m_locked = other->m_locked;
    m_visible = other->m_visible;
    m_color = other->m_color;
    m_eraserMode = other->m_eraserMode;
    copyFrom(other);
}

void MLayer::set_mask(int value)
{
    if (m_mask == value)
        return;
    m_mask = value;
    emit maskChanged(value);
}

void MLayer::setName(const QString &value)
{
    if (m_name == value)
        return;
    m_name = value;
    emit nameChanged(value);
}

void MLayer::setOpacity(double value)
{
    if (m_opacity == value)
        return;
    m_opacity = value;
    emit opacityChanged(value);
}

void MLayer::setLocked(bool value)
{
    if (m_locked == value)
        return;
    m_locked = value;
    emit lockedChanged(value);
}

void MLayer::setVisible(bool value)
{
    if (m_visible == value)
        return;
    m_visible = value;
    emit visibleChanged(value);
}

void MLayer::setColor(const QColor &value)
{
    if (m_color == value)
        return;
    m_color = value;
    emit colorChanged(value);
}

void MLayer::setThumbnail(const QImage &value)
{
    m_thumbnail = value;
    emit thumbnailChanged(value);
    // Views tell a new thumbnail by its id.
    setImageGuid(newGuid());
}

void MLayer::setImageGuid(const QString &value)
{
    if (m_imageGuid == value)
        return;
    m_imageGuid = value;
    emit imageGuidChanged(value);
}

void MLayer::setEraserMode(bool value)
{
    if (m_eraserMode == value)
        return;
    m_eraserMode = value;
    emit eraserModeChanged(value);
}
