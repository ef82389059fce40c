#include "mselection.h"

#include "mtexturelayer.h"

MSelection::MSelection(QObject *parent)
    : QObject(parent)
    , m_layer(new MTextureLayer(this))
{
}

void MSelection::setPath(const QPainterPath &path)
{
    m_path = path;
    setHasSelection(!path.isEmpty());
}

QPainterPath MSelection::invertedPath(const QRectF &within) const
{
    QPainterPath whole;
    whole.addRect(within);
    return whole.subtracted(m_path);
}

void MSelection::setClipStroke(bool value)
{
    if (m_clipStroke == value)
        return;
    m_clipStroke = value;
    emit clipStrokeChanged(value);
}

void MSelection::setHasSelection(bool value)
{
    if (m_hasSelection == value)
        return;
    m_hasSelection = value;
    emit hasSelectionChanged(value);
}
