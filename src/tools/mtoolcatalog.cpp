#include "mtoolcatalog.h"

#include "mbrushtool.h"
#include "mcomicstriptool.h"
#include "mfillselectiontool.h"
#include "mfilltool.h"
#include "mgradienttool.h"
#include "mgridtool.h"
#include "mimagetool.h"
#include "mlinetool.h"
#include "mpantool.h"
#include "mperspectivetool.h"
#include "mrotatetool.h"
#include "mrullertool.h"
#include "mselectiontool.h"
#include "mshapetool.h"
#include "msymmetrytool.h"
#include "mtexttool.h"
#include "mtoolbars.h"
#include "mtools.h"
#include "mzoomtool.h"

namespace {

template <class T>
MTool *make(int toolId, QObject *parent)
{
    return new T(MTool::ToolId(toolId), parent);
}

// In the order the registry builds them.
int registerAll()
{
    const struct {
        MTool::ToolId id;
        MTools::ToolFactory create;
        MTools::BarBuilder buildBar;
    } tools[] = {
        {MTool::BrushTool, &make<MBrushTool>, &MToolBars::createBrushToolBar},
        {MTool::LineTool, &make<MLineTool>, &MToolBars::createLineToolBar},
        {MTool::ShapeTool, &make<MShapeTool>, &MToolBars::createShapeToolBar},
        {MTool::TextTool, &make<MTextTool>, &MToolBars::createTextToolBar},
        {MTool::GridTool, &make<MGridTool>, &MToolBars::createGridToolBar},
        {MTool::PerspectiveTool, &make<MPerspectiveTool>, &MToolBars::createPerspectiveToolBar},
        {MTool::SymmetryTool, &make<MSymmetryTool>, &MToolBars::createSymmetryToolBar},
        {MTool::PanTool, &make<MPanTool>, nullptr},
        {MTool::RotateTool, &make<MRotateTool>, nullptr},
        {MTool::ZoomTool, &make<MZoomTool>, nullptr},
        {MTool::RullerTool, &make<MRullerTool>, &MToolBars::createRullerToolBar},
        {MTool::SelectionTool, &make<MSelectionTool>, &MToolBars::createSelectionToolBar},
        {MTool::FillTool, &make<MFillTool>, &MToolBars::createFillToolBar},
        {MTool::FillSelectionTool, &make<MFillSelectionTool>, &MToolBars::createFillSelectionToolBar},
        {MTool::GradientTool, &make<MGradientTool>, &MToolBars::createGradientToolBar},
        {MTool::ImageTool, &make<MImageTool>, &MToolBars::createImageToolBar},
        {MTool::ComicStripTool, &make<MComicStripTool>, &MToolBars::createComicStripToolBar},
    };
    int count = 0;
    for (const auto &tool : tools)
        count += MTools::registerTool(tool.id, tool.create, tool.buildBar) ? 1 : 0;
    return count;
}

// The core is a shared library: this runs when it loads, before main().
const int registered = registerAll();

} // namespace

int MToolCatalog::registeredCount()
{
    return registered;
}
