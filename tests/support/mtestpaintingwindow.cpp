#include "mtestpaintingwindow.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mmainwindow.h"
#include "mtestbrushlibrary.h"
#include "mtestmainwindow.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QUndoStack>

MTestPaintingWindow::MTestPaintingWindow() = default;

MTestPaintingWindow::~MTestPaintingWindow()
{
    close();
}

bool MTestPaintingWindow::prepare(const QSize &documentSize, const QStringList &brushes)
{
    if (!MTestMainWindow::prepare(documentSize))
        return false;
    m_brushes.reset(new MTestBrushLibrary(brushes));
    return true;
}

bool MTestPaintingWindow::show(const QSize &windowSize)
{
    m_window.reset(new MMainWindow());
    return MTestMainWindow::show(m_window.get(), windowSize) && MTestMainWindow::focusView(view());
}

bool MTestPaintingWindow::open(const QSize &documentSize, const QSize &windowSize)
{
    return prepare(documentSize) && show(windowSize);
}

void MTestPaintingWindow::paintWith(double radius, double hardness, const QColor &color)
{
    MTools::instance()->activate(MTool::BrushTool, true);
    MBrush *brush = MBrushList::instance()->currentBrush();
    brush->setRadius(radius);
    brush->setHardness(hardness);
    brush->setOpacity(1.0);
    brush->setFlow(1.0);
    MColorList::instance()->setColor(color);
}

void MTestPaintingWindow::close()
{
    if (m_window)
        canvas()->undoStack()->setClean();
    m_window.reset();
    m_brushes.reset();
}

MWidget *MTestPaintingWindow::view() const
{
    return m_window ? m_window->view() : nullptr;
}

MCanvas *MTestPaintingWindow::canvas() const
{
    MWidget *shown = view();
    return shown ? shown->canvas() : nullptr;
}
