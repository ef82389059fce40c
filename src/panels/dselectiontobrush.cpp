#include "dselectiontobrush.h"
#include "ui_dselectiontobrush.h"

#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"
#include "mconnector.h"
#include "mdocumentrenderer.h"
#include "menum.h"
#include "mlogger.h"
#include "mpaper.h"
#include "mselection.h"
#include "msettingstream.h"
#include "mutility.h"

#include <QMessageBox>
#include <QSet>

#include <algorithm>

DSelectionToBrush::DSelectionToBrush(MSelection *selection, MPaper *paper, MDocumentRenderer *renderer, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_DSelectionToBrush)
    , m_selection(selection)
    , m_paper(paper)
    , m_renderer(renderer)
    , m_connector(new MConnector(this))
    , m_settings(new MSettingStream(this))
{
    ui->setupUi(this);
    ui->widthEdit->setRange(1, 100000);
    ui->heightEdit->setRange(1, 100000);

    m_settings->setGroup(QStringLiteral("selectionToBrush"));
    m_settings->add(ExportPaper, QStringLiteral("exportPaper"), false);
    m_settings->add(AllLayers, QStringLiteral("allLayers"), false);
    m_settings->add(ApplyToCurrentBrush, QStringLiteral("applyToCurrentBrush"), true);
    m_settings->add(PreserveTextureColor, QStringLiteral("preserveTextureColor"), 0);
    m_settings->load();

    ui->exportPaperEdit->setChecked(m_settings->value(ExportPaper).toBool());
    ui->allLayersEdit->setChecked(m_settings->value(AllLayers).toBool());
    const bool applyToCurrent = m_settings->value(ApplyToCurrentBrush).toBool();
    ui->applyToCurrentBrushEdit->setChecked(applyToCurrent);
    ui->createNewBrushEdit->setChecked(!applyToCurrent);
    MUtility::fillEnumCombo(MEnum::staticMetaObject, "TextureColor", ui->preserveTextureColorEdit,
                            m_settings->value(PreserveTextureColor).toInt());
    resetSize();
    fillGroups();
    setGroupAndName();
    enableGroupAndName();
    connectSignals();
}

DSelectionToBrush::~DSelectionToBrush()
{
    delete ui;
}

void DSelectionToBrush::saveSettings()
{
    m_settings->value(ExportPaper) = ui->exportPaperEdit->isChecked();
    m_settings->value(AllLayers) = ui->allLayersEdit->isChecked();
    m_settings->value(ApplyToCurrentBrush) = ui->applyToCurrentBrushEdit->isChecked();
    m_settings->value(PreserveTextureColor) = ui->preserveTextureColorEdit->currentIndex();
    m_settings->save();
}

QRectF DSelectionToBrush::sourceRect() const
{
    if (!hasDocument())
        return QRectF();
    const QPainterPath path = m_selection->path();
    return path.isEmpty() ? m_paper->paintedRect() : path.boundingRect();
}

void DSelectionToBrush::resetSize()
{
    const QRectF source = sourceRect();
    const int width = int(source.width());
    const int height = int(source.height());
    ui->widthEdit->setValue(width);
    ui->heightEdit->setValue(height);
    m_ratio = height == 0 ? 1.0 : double(width) / double(height);
    updateRatioLabel();
}

void DSelectionToBrush::updateRatioLabel()
{
    double original = int(sourceRect().width());
    if (original == 0)
        original = ui->widthEdit->value();
    ui->ratioLabel->setText(
        tr("Ratio from original selection: %1").arg(QString::asprintf("%4.2f", ui->widthEdit->value() / original)));
}

void DSelectionToBrush::widthChanged(int width)
{
    m_connector->disconnectAll();
    // A selection without width has no ratio to keep.
    if (ui->lockEdit->isChecked() && m_ratio > 0)
        ui->heightEdit->setValue(int(width / m_ratio));
    else
        m_ratio = double(width) / double(ui->heightEdit->value());
    updateRatioLabel();
    connectSignals();
}

void DSelectionToBrush::heightChanged(int height)
{
    m_connector->disconnectAll();
    if (ui->lockEdit->isChecked() && m_ratio > 0)
        ui->widthEdit->setValue(int(height * m_ratio));
    else
        m_ratio = double(ui->widthEdit->value()) / double(height);
    updateRatioLabel();
    connectSignals();
}

void DSelectionToBrush::on_resetSizeBtn_clicked()
{
    m_connector->disconnectAll();
    resetSize();
    connectSignals();
}

void DSelectionToBrush::connectSignals()
{
    m_connector->add(connect(ui->widthEdit, qOverload<int>(&QSpinBox::valueChanged), this,
                             &DSelectionToBrush::widthChanged))
        ->add(connect(ui->heightEdit, qOverload<int>(&QSpinBox::valueChanged), this,
                      &DSelectionToBrush::heightChanged))
        ->add(connect(ui->createNewBrushEdit, &QRadioButton::toggled, this, &DSelectionToBrush::enableGroupAndName))
        ->add(connect(ui->createNewBrushEdit, &QRadioButton::toggled, this, &DSelectionToBrush::setGroupAndName));
}

void DSelectionToBrush::enableGroupAndName()
{
    const bool enabled = ui->createNewBrushEdit->isChecked();
    ui->brushGroupEdit->setEnabled(enabled);
    ui->brushNameEdit->setEnabled(enabled);
}

void DSelectionToBrush::fillGroups()
{
    MBrushList *brushes = MBrushList::instance();
    QSet<QString> groups;
    for (int row = 0; row < brushes->rowCount(); ++row) {
        const QString group = brushes->brush(row)->group().trimmed().toLower();
        if (!groups.contains(group)) {
            groups.insert(group);
            ui->brushGroupEdit->addItem(group);
        }
    }
}

void DSelectionToBrush::setGroupAndName()
{
    const MBrush *brush = MBrushList::instance()->currentBrush();
    if (!brush)
        return;
    ui->brushGroupEdit->setEditText(brush->group());
    ui->brushNameEdit->setText(ui->createNewBrushEdit->isChecked() ? tr("%1 - copy").arg(brush->description())
                                                                    : brush->description());
}

int DSelectionToBrush::maximumTextureSize() const
{
    // The brush file refuses larger textures on reading, so a larger one
    // would be a brush that cannot be loaded again. The cap also keeps the
    // render and its image within a sound amount of memory.
    const int driver = hasDocument() ? m_renderer->maximumRenderSize() : 0;
    return qMin(driver, MBrushStream::maximumImageSize().width());
}

bool DSelectionToBrush::checkSize(int width, int height) const
{
    const int limit = maximumTextureSize();
    if (limit <= 0) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Unable to render the selection."));
        return false;
    }
    if (width > limit || height > limit) {
        MUtility::showMessage(QMessageBox::Critical, QString(),
                              tr("A brush texture of %1 x %2 pixels is too large: the largest is %3 x %3 pixels.")
                                  .arg(width)
                                  .arg(height)
                                  .arg(limit));
        return false;
    }
    return true;
}

void DSelectionToBrush::on_okButton_clicked()
{
    const QString group = ui->brushGroupEdit->currentText().trimmed().toLower();
    const QString name = ui->brushNameEdit->text().trimmed().toLower();
    if (group.isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Please, enter a group."));
        return;
    }
    if (name.isEmpty()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Please, enter a description."));
        return;
    }
    const int width = ui->widthEdit->value();
    const int height = ui->heightEdit->value();
    if (!hasDocument() || !checkSize(width, height))
        return;

    MBrushList *brushes = MBrushList::instance();
    if (brushes->rowCount() == 0) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("There is no brush to apply the texture to."));
        return;
    }

    const QImage image = m_renderer->renderToImage(QStringLiteral("blit"), width, height, m_selection->path(),
                                                 ui->exportPaperEdit->isChecked(), ui->allLayersEdit->isChecked(),
                                                 QList<MTextureLayer *>());
    if (image.isNull()) {
        MUtility::showMessage(QMessageBox::Critical, QString(), tr("Unable to render the selection."));
        return;
    }
    const uchar *bits = image.constBits();
    const qsizetype size = image.sizeInBytes();
    if (std::all_of(bits, bits + size, [](uchar byte) { return byte == 0; })
        && MUtility::showMessage(QMessageBox::Question, QString(),
                                 tr("The selection seems to be empty. Do you want to continue (a brush with an empty "
                                    "texture will be invisible)?"),
                                 QMessageBox::Ok | QMessageBox::Cancel)
               != QMessageBox::Ok)
        return;

    MBrush *target = brushes->currentBrush();
    if (!target)
        target = brushes->brush(0);
    const bool createNew = ui->createNewBrushEdit->isChecked();
    if (createNew) {
        target = brushes->createBrush(target, group, name);
        if (!target) {
            MUtility::showMessage(QMessageBox::Critical, QString(),
                                  tr("Unable to save the brush %1/%2.").arg(group, name));
            return;
        }
    }
    target->setTexture(image);
    target->setPreserveTextureColor(ui->preserveTextureColorEdit->currentIndex());
    target->updatePreview();
    if (createNew) {
        if (!target->save()) {
            MUtility::showMessage(QMessageBox::Critical, QString(),
                                  tr("Unable to save the brush %1/%2.").arg(group, name));
            return;
        }
        MUtility::showMessage(QMessageBox::Information, QString(), tr("The brush %1/%2 is added.").arg(group, name));
    } else {
        MUtility::showMessage(QMessageBox::Information, QString(),
                              tr("The texture of the current brush %1/%2 has been modified. Save the brush to keep "
                                 "these settings.")
                                  .arg(group, name));
    }
    accept();
}

void DSelectionToBrush::on_cancelButton_clicked()
{
    reject();
}
