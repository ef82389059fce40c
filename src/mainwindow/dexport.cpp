#include "dexport.h"
#include "ui_dexport.h"

#include "mdocumentrenderer.h"
#include "mfilesavedialog.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mplatform.h"
#include "msavefile.h"
#include "mselection.h"
#include "mutility.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPainterPath>

#include <cmath>

namespace {
// Whole pixels for a computed partner size, never below the field's minimum.
int wholePixels(double value)
{
    if (!std::isfinite(value))
        return 1;
    return int(qBound(1.0, std::round(value), 100000.0));
}

double ratioOf(double width, double height)
{
    return height == 0 ? 1.0 : width / height;
}
} // namespace

DExport::DExport(MSelection *selection, MPaper *paper, MDocumentRenderer *renderer, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DExport)
    , m_selection(selection)
    , m_paper(paper)
    , m_renderer(renderer)
{
    ui->setupUi(this);
    ui->widthSpinBox->setRange(1, 100000);
    ui->heightSpinBox->setRange(1, 100000);
    if (!m_selection || m_selection->path().isEmpty())
        ui->cbLimitToSelection->setEnabled(false);
    setSizeFrom(m_paper ? m_paper->paintedRect() : QRectF());
    connectFields();
}

DExport::~DExport()
{
    delete ui;
}

void DExport::connectFields()
{
    m_connections = {
        connect(ui->widthSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &DExport::widthChanged),
        connect(ui->heightSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &DExport::heightChanged),
        connect(ui->cbLimitToSelection, &QCheckBox::toggled, this, &DExport::limitToSelectionChanged)};
}

void DExport::disconnectFields()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
}

void DExport::setSizeFrom(const QRectF &rect)
{
    const int width = int(rect.width());
    const int height = int(rect.height());
    ui->widthSpinBox->setValue(width);
    ui->heightSpinBox->setValue(height);
    m_ratio = ratioOf(width, height);
}

void DExport::widthChanged(int width)
{
    disconnectFields();
    if (ui->cbLock->isChecked())
        ui->heightSpinBox->setValue(wholePixels(width / m_ratio));
    else
        m_ratio = ratioOf(width, ui->heightSpinBox->value());
    connectFields();
}

void DExport::heightChanged(int height)
{
    disconnectFields();
    if (ui->cbLock->isChecked())
        ui->widthSpinBox->setValue(wholePixels(height * m_ratio));
    else
        m_ratio = ratioOf(ui->widthSpinBox->value(), height);
    connectFields();
}

void DExport::limitToSelectionChanged(bool on)
{
    if (!hasDocument())
        return;
    disconnectFields();
    setSizeFrom(on ? m_selection->path().boundingRect() : m_paper->paintedRect());
    connectFields();
}

qint64 DExport::memoryNeeded(int width, int height)
{
    // The read-back, its flipped copy, the converted copy and the writer's
    // unpremultiplied copy live at the same time.
    return qint64(qMax(0, width)) * qint64(qMax(0, height)) * 4 * 4;
}

QString DExport::sizeRefusal(int width, int height, int maxRenderSize, qint64 availableMemory)
{
    if (maxRenderSize <= 0)
        return tr("The graphics driver cannot render the image now.");
    if (width > maxRenderSize || height > maxRenderSize)
        return tr("The graphics driver cannot render an image of %1 x %2 pixels: at most %3 pixels wide and high.")
            .arg(width)
            .arg(height)
            .arg(maxRenderSize);
    const qint64 needed = memoryNeeded(width, height);
    if (availableMemory >= 0 && needed > availableMemory)
        return tr("An image of %1 x %2 pixels needs about %3 MB of memory and only %4 MB are available.")
            .arg(width)
            .arg(height)
            .arg((needed + (1 << 20) - 1) >> 20)
            .arg(availableMemory >> 20);
    return QString();
}

void DExport::on_okButton_clicked()
{
    if (!hasDocument())
        return;
    const int width = ui->widthSpinBox->value();
    const int height = ui->heightSpinBox->value();
    // Refused before a file is asked for: the painter changes the size and tries again.
    const QString refusal = sizeRefusal(width, height, m_renderer->maximumRenderSize(), MPlatform::availableMemory());
    if (!refusal.isEmpty()) {
        *MLogger::instance() << QStringLiteral("Export refused: %1").arg(refusal);
        MUtility::showMessage(QMessageBox::Critical, tr("Export image"), refusal);
        return;
    }
    MFileSaveDialog dialog(tr("Export image"), MFileDialog::ImageLocation, this);
    MUtility::imageMimeFilters(&dialog, QStringLiteral("png"));
    const QString fileName = dialog.getFileName();
    if (fileName.isEmpty())
        return;
    if (exportTo(fileName))
        accept();
}

bool DExport::exportTo(const QString &fileName)
{
    const int width = ui->widthSpinBox->value();
    const int height = ui->heightSpinBox->value();
    const bool limited = ui->cbLimitToSelection->isChecked() && ui->cbLimitToSelection->isEnabled();
    const QString program = limited ? QStringLiteral("blit") : QStringLiteral("basic");
    const QPainterPath clip = limited ? m_selection->path() : QPainterPath();
    const QImage image = m_renderer->renderToImage(program, width, height, clip, ui->cbExportPaper->isChecked(),
                                                 ui->cbAllLayers->isChecked(), {});
    if (image.isNull()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Export image"),
                              tr("The image of %1 x %2 pixels could not be rendered.").arg(width).arg(height),
                              QMessageBox::Ok, QMessageBox::NoButton, tr("The log file tells why."));
        return false;
    }
    QString reason;
    if (!MUtility::writeImage(image, fileName, reason)) {
        MLogger::instance()->systemError(QStringLiteral("Unable to write image %1: %2").arg(fileName, reason));
        MUtility::showMessage(QMessageBox::Critical, tr("Export image"), tr("Cannot export the image to %1.").arg(fileName),
                              QMessageBox::Ok, QMessageBox::NoButton, reason);
        return false;
    }
    return true;
}

void DExport::on_cancelButton_clicked()
{
    reject();
}
