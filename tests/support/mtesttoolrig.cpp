#include "mtesttoolrig.h"

#include "mbrushlist.h"
#include "mcanvas.h"
#include "mevent.h"
#include "mtestglcontext.h"
#include "mtesttool.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QKeyEvent>
#include <QUndoStack>

void MTestToolRig::initMain()
{
    MTestGLContext::prepareSharedContexts();
}

MTestToolRig::MTestToolRig(int toolId)
    : m_toolId(toolId)
{
}

MTestToolRig::~MTestToolRig()
{
    closeView();
    // The library must not outlive the folder it keeps the painter's brushes in.
    if (m_ownsBrushes)
        MBrushList::destroyInstance();
}

MTools *MTestToolRig::tools()
{
    return MTools::instance();
}

MCanvas *MTestToolRig::canvas() const
{
    return m_view->canvas();
}

QUndoStack *MTestToolRig::undo() const
{
    return canvas()->undoStack();
}

void MTestToolRig::useTestBrushes()
{
    MBrushList::destroyInstance();
    MBrushList::setInstance(new MBrushList(QStringLiteral(KALMI_BIN_DIR "/datas/brushes/"), folders.path()));
    m_ownsBrushes = true;
}

void MTestToolRig::openView(const QSize &size)
{
    m_view.reset(new MWidget);
    m_view->resize(size);
    tools()->set_widget(m_view.get());
    tools()->activate(m_toolId, true);
}

void MTestToolRig::closeView()
{
    if (!m_view)
        return;
    tools()->set_widget(nullptr);
    m_view.reset();
}

bool MTestToolRig::press(const QPointF &p, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    MEvent e = MTestTool::leftSample(MEvent::Press, p);
    e.modifiers = modifiers;
    e.button = button;
    return tools()->tool(m_toolId)->mousePressEvent(&e);
}

void MTestToolRig::move(const QPointF &p, Qt::KeyboardModifiers modifiers)
{
    MEvent e = MTestTool::leftSample(MEvent::Move, p);
    e.modifiers = modifiers;
    tools()->tool(m_toolId)->mouseMoveEvent(&e);
}

void MTestToolRig::release(const QPointF &p, Qt::KeyboardModifiers modifiers)
{
    MEvent e = MTestTool::leftSample(MEvent::Release, p);
    e.modifiers = modifiers;
    tools()->tool(m_toolId)->mouseReleaseEvent(&e);
}

void MTestToolRig::hover(const QPointF &p, Qt::KeyboardModifiers modifiers)
{
    MEvent e = MTestTool::leftSample(MEvent::Hover, p);
    e.modifiers = modifiers;
    tools()->tool(m_toolId)->mouseHoverEvent(&e);
}

void MTestToolRig::send(int type, const QPointF &p, Qt::MouseButton button)
{
    MEvent e = MTestTool::leftSample(type, p);
    e.button = button;
    MTool *tool = tools()->tool(m_toolId);
    if (type == MEvent::Press)
        tool->mousePressEvent(&e);
    else if (type == MEvent::Move)
        tool->mouseMoveEvent(&e);
    else if (type == MEvent::Hover)
        tool->mouseHoverEvent(&e);
    else
        tool->mouseReleaseEvent(&e);
}

bool MTestToolRig::key(int code, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent e(QEvent::KeyPress, code, modifiers);
    return tools()->tool(m_toolId)->keyPressEvent(&e);
}
