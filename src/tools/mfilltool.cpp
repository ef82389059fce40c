#include "mfilltool.h"

#include "mcolorlist.h"
#include "mdocumentdescription.h"
#include "mevent.h"
#include "mlogger.h"
#include "mpatternlist.h"
#include "mquickfill.h"
#include "msettings.h"
#include "mtools.h"
#include "mutility.h"

#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>
#include <cmath>

namespace {
const QString group = QStringLiteral("FillTool");
const QString thresholdKey = QStringLiteral("threshold");
} // namespace

MFillTool::MFillTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
    , m_engine(new MQuickFill(this))
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    m_threshold = clampedThreshold(settings->value(thresholdKey, 125).toDouble());
    settings->endGroup();
    setPattern(0);
}

MFillTool::~MFillTool()
{
    MSettings *settings = MSettings::instance();
    settings->beginGroup(group);
    settings->setValue(thresholdKey, m_threshold);
    settings->endGroup();
}

int MFillTool::clampedThreshold(double value)
{
    if (!std::isfinite(value))
        return 0;
    return int(std::min(std::max(value, 0.0), 255.0));
}

void MFillTool::set_threshold(int value)
{
    value = clampedThreshold(value);
    if (value == m_threshold)
        return;
    m_threshold = value;
    emit thresholdChanged(value);
}

void MFillTool::setThreshold(double value)
{
    set_threshold(clampedThreshold(value));
}

void MFillTool::set_patternImage(const QImage &value)
{
    if (value == m_patternImage)
        return;
    m_patternImage = value;
    emit patternImageChanged(value);
}

void MFillTool::set_usePatternColor(bool value)
{
    if (value == m_usePatternColor)
        return;
    m_usePatternColor = value;
    emit usePatternColorChanged(value);
}

void MFillTool::setPattern(int row)
{
    MPatternItem *item = MPatternList::instance()->at(row);
    set_patternImage(item && !item->image().isNull() ? item->image().copy() : QImage());
}

void MFillTool::setPattern(const QImage &image)
{
    set_patternImage(image);
}

void MFillTool::loadPattern()
{
    const QString fileName = MUtility::askOpenFileName(
        tr("Images"), MSettings::instance()->lastFilesDir(), MUtility::imageFileFilter(false).join(QStringLiteral(";;")));
    if (fileName.isEmpty())
        return;
    MSettings::instance()->set_lastFilesDir(QFileInfo(fileName).absolutePath());
    QString reason;
    const QImage image = MImageFile::read(fileName, &reason, MDocumentDescription::imageCheck());
    if (image.isNull()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(fileName, reason));
        return;
    }
    set_patternImage(image);
}

void MFillTool::clearPattern()
{
    set_patternImage(QImage());
}

bool MFillTool::updateCursor(const QPointF &, double)
{
    setCursor(Qt::CrossCursor);
    return true;
}

bool MFillTool::mousePressEvent(MEvent *event)
{
    if (event->button != Qt::LeftButton)
        return false;
    MUtility::setBusyCursor();
    m_engine->setEdits(edits());
    m_engine->set_threshold(uchar(clampedThreshold(m_threshold)));
    m_engine->setMaskImage(m_patternImage);
    m_engine->setUsePatternColor(m_usePatternColor);
    const bool filled =
        m_engine->fillAt(QPointF(event->canvasPosition().toPoint()), MColorList::instance()->currentColor(), -1);
    MUtility::restoreCursor();
    const int result = m_engine->lastResult();
    if (result == MQuickFill::TimedOut || result == MQuickFill::OutOfMemory) {
        const QString why = result == MQuickFill::TimedOut
                                ? tr("The fill stopped at its time limit of %1 seconds.").arg(m_engine->timeLimit() / 1000.0)
                                : tr("The fill ran out of memory.");
        const QString kept = filled ? tr("The part filled so far is kept: undo removes it.") : tr("Nothing was filled.");
        MLogger::instance()->log(why + QLatin1Char(' ') + kept);
        MUtility::showMessage(QMessageBox::Warning, tr("Fill"), why + QLatin1Char(' ') + kept);
    }
    return true;
}
