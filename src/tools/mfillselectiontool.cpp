#include "mfillselectiontool.h"

#include "manimframe.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mevent.h"
#include "mfilltool.h"
#include "mlayeredits.h"
#include "msettings.h"
#include "mtools.h"
#include "mutility.h"

#include <QKeyEvent>

namespace {
const QString group = QStringLiteral("FillSelectionTool");
const QString thresholdKey = QStringLiteral("threshold");
const QString selectionLayerKey = QStringLiteral("selectionLayer");
} // namespace

MFillSelectionTool::MFillSelectionTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
    , m_animFrame(new MAnimFrame(this))
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    m_threshold = MFillTool::clampedThreshold(settings->value(thresholdKey, 125).toDouble());
    m_selectionLayer = settings->value(selectionLayerKey, int(CurrentLayer)).toInt();
    settings->endGroup();
    connect(m_animFrame, &MAnimFrame::refresh, MTools::instance(), &MTools::refresh);
}

MFillSelectionTool::~MFillSelectionTool()
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    settings->setValue(thresholdKey, m_threshold);
    settings->setValue(selectionLayerKey, m_selectionLayer);
    settings->endGroup();
}

void MFillSelectionTool::set_threshold(int value)
{
    value = MFillTool::clampedThreshold(value);
    if (value == m_threshold)
        return;
    m_threshold = value;
    emit thresholdChanged(value);
}

void MFillSelectionTool::setThreshold(double value)
{
    set_threshold(MFillTool::clampedThreshold(value));
}

void MFillSelectionTool::set_selectionLayer(int value)
{
    if (value == m_selectionLayer)
        return;
    m_selectionLayer = value;
    emit selectionLayerChanged(value);
}

int MFillSelectionTool::sampledRow(const MCanvas *canvas, int selectionLayer)
{
    const int count = canvas ? canvas->count() : 0;
    if (count == 0)
        return -1;
    const int current = canvas->currentRow();
    if (selectionLayer == TopMostLayer)
        return count - 1;
    if (current < 0 || current >= count)
        return -1;
    if (selectionLayer == OverLayer && current < count - 1)
        return current + 1;
    if (selectionLayer == UnderLayer && current > 0)
        return current - 1;
    return current;
}

void MFillSelectionTool::activate(bool on)
{
    set_visible(on);
    m_animFrame->set_isStarted(on);
    emit toolChanged(this);
}

bool MFillSelectionTool::updateCursor(const QPointF &, double)
{
    setCursor(Qt::CrossCursor);
    return true;
}

void MFillSelectionTool::fill(const QColor &color)
{
    if (MLayerEdits *documentEdits = edits())
        documentEdits->fill(color);
    refresh();
}

int MFillSelectionTool::selectAt(MEvent *event)
{
    MCanvas *canvas = MTools::canvas();
    const int row = sampledRow(canvas, m_selectionLayer);
    if (row < 0)
        return -1;
    MUtility::setBusyCursor();
    const bool replace = !event->hasControlModifier();
    bool changed = false;
    const QMetaObject::Connection watch =
        connect(canvas, &MCanvas::selectionChanged, this, [&changed]() { changed = true; });
    canvas->fillSelection(event->canvasPosition().toPoint(), replace, uchar(m_threshold), row);
    disconnect(watch);
    // The document shows the pixel selection only without an outline: a
    // replacing click must not leave the old outline standing for it.
    if (changed && replace)
        canvas->resetSelectionPath();
    MUtility::restoreCursor();
    return row;
}

bool MFillSelectionTool::mousePressEvent(MEvent *event)
{
    if (event->button == Qt::LeftButton) {
        selectAt(event);
        return true;
    }
    if (event->button == Qt::RightButton && event->hasShiftModifier()) {
        fill(MColorList::instance()->currentColor());
        return true;
    }
    return false;
}

bool MFillSelectionTool::keyPressEvent(QKeyEvent *event)
{
    if (!isConfirmKey(event))
        return false;
    fill(MColorList::instance()->currentColor());
    return true;
}
