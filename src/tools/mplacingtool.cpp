#include "mplacingtool.h"

#include "manimframe.h"
#include "mlayeredits.h"
#include "mtools.h"
#include "mwidget.h"

#include <QKeyEvent>

MPlacingTool::MPlacingTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
    , m_animation(new MAnimFrame(this))
{
    connect(m_animation, &MAnimFrame::refresh, MTools::instance(), &MTools::refresh);
}

void MPlacingTool::activate(bool on)
{
    set_visible(on);
    if (on)
        m_animation->start(100);
    else
        m_animation->stop();
    emit toolChanged(this);
}

bool MPlacingTool::keyPressEvent(QKeyEvent *event)
{
    if (isConfirmKey(event)) {
        apply(event->modifiers());
        return true;
    }
    return event->key() == Qt::Key_Escape && dropForEscape();
}

void MPlacingTool::set_selectionMode(int mode)
{
    if (mode == m_selectionMode)
        return;
    m_selectionMode = mode;
    emit selectionModeChanged(mode);
}

void MPlacingTool::applyInNewLayer()
{
    MWidget *view = MTools::widget();
    if (!view)
        return;
    // A full document keeps the image on the tool rather than put it on a
    // layer that was not asked for.
    if (!edits()->appendLayer())
        return;
    apply(Qt::NoModifier);
}
