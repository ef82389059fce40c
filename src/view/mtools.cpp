#include "mtools.h"

#include "mtool.h"

#include <QPointer>

MTools::MTools(QObject *parent)
    : QObject(parent)
    , m_idleTool(new MTool(this))
{
}

MTool *MTools::currentTool() const
{
    return m_currentTool ? m_currentTool : m_idleTool;
}

void MTools::setCurrentTool(MTool *tool)
{
    if (m_currentTool)
        disconnect(m_currentTool, &QObject::destroyed, this, nullptr);
    m_currentTool = tool;
    // A tool deleted while current must not be called afterwards.
    if (tool)
        connect(tool, &QObject::destroyed, this, [this, tool]() {
            if (m_currentTool == tool)
                m_currentTool = nullptr;
        });
}

void MTools::mousePressEvent(MEvent *event)
{
    currentTool()->mousePressEvent(event);
}

void MTools::mouseMoveEvent(MEvent *event)
{
    currentTool()->mouseMoveEvent(event);
}

void MTools::mouseHoverEvent(MEvent *event)
{
    currentTool()->mouseHoverEvent(event);
}

void MTools::mouseReleaseEvent(MEvent *event)
{
    currentTool()->mouseReleaseEvent(event);
}

void MTools::mouseDoubleClickEvent(MEvent *event)
{
    currentTool()->mouseDoubleClickEvent(event);
}

void MTools::wheelEvent(QWheelEvent *event)
{
    currentTool()->wheelEvent(event);
}

void MTools::keyPressEvent(QKeyEvent *event)
{
    currentTool()->keyPressEvent(event);
}

bool MTools::updateCursor(const QPointF &viewPosition, double scale)
{
    return currentTool()->updateCursor(viewPosition, scale);
}

void MTools::paint(QPainter *painter)
{
    currentTool()->paint(painter);
}

void MTools::refresh()
{
    emit refreshNeeded();
}
