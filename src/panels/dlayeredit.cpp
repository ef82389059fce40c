#include "dlayeredit.h"
#include "ui_dlayeredit.h"

#include "mlayer.h"
#include "mlayeredits.h"
#include "mlayerstack.h"
#include "mtexturelayer.h"
#include "mutility.h"

namespace {
// The properties the dialog edits, as the undo step records them.
const QByteArray editedProperties[] = {"name", "opacity", "locked", "visible", "mask"};
} // namespace

DLayerEdit::DLayerEdit(MLayerStack *layers, MLayerEdits *edits, int row, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DLayerEdit)
    , m_layers(layers)
    , m_edits(edits)
    , row(row)
    , layer(layers->at(row))
    , backup(new MLayer())
{
    ui->setupUi(this);
    backup->copyProperties(layer);

    ui->opacityEdit->set_minimum(0.0);
    ui->opacityEdit->set_maximum(1.0);
    ui->opacityEdit->set_singleStep(0.1);
    ui->opacityEdit->set_isPercentage(true);
    ui->opacityEdit->set_isLogarithmic(false);
    ui->cbMask->setEnumName(MLayer::staticMetaObject, "Mask");
    setWindowTitle(tr("Layer properties"));

    layerToWidgets();
    connect(ui->nameEdit, &QLineEdit::textChanged, this, &DLayerEdit::widgetsToLayer);
    connect(ui->opacityEdit, &MSliderSpinbox::valueChanged, this, &DLayerEdit::widgetsToLayer);
    connect(ui->lockedCheckBox, &QCheckBox::clicked, this, &DLayerEdit::widgetsToLayer);
    connect(ui->visibleCheckBox, &QCheckBox::clicked, this, &DLayerEdit::widgetsToLayer);
    connect(ui->cbMask, &MEnumEdit::valueChanged, this, &DLayerEdit::widgetsToLayer);
    changed = false;
}

void DLayerEdit::edit(MLayerStack *layers, MLayerEdits *edits, int row)
{
    if (!layers || !edits || !layers->at(row))
        return;
    DLayerEdit dialog(layers, edits, row, MUtility::dialogParent());
    dialog.exec();
}

DLayerEdit::~DLayerEdit()
{
    delete backup;
    delete ui;
}

void DLayerEdit::layerToWidgets()
{
    ui->nameEdit->setText(layer->name());
    ui->opacityEdit->set_value(layer->opacity());
    ui->lockedCheckBox->setChecked(layer->locked());
    ui->visibleCheckBox->setChecked(layer->visible());
    ui->cbMask->setValue(layer->mask());
}

void DLayerEdit::widgetsToLayer()
{
    changed = true;
    layer->setName(ui->nameEdit->text());
    layer->setOpacity(ui->opacityEdit->value());
    layer->setLocked(ui->lockedCheckBox->isChecked());
    layer->setVisible(ui->visibleCheckBox->isChecked());
    layer->set_mask(ui->cbMask->value());
    emit m_layers->pixelsChanged();
}

void DLayerEdit::restoreLayer()
{
    // Through the setters first, so the layer list shows the old values again.
    layer->setName(backup->name());
    layer->setOpacity(backup->opacity());
    layer->setLocked(backup->locked());
    layer->setVisible(backup->visible());
    layer->set_mask(backup->mask());
    layer->copyProperties(backup);
    emit m_layers->pixelsChanged();
}

void DLayerEdit::reject()
{
    // Escape and the close button end here as Cancel does: the layer must not
    // keep an edit that the undo history does not know of.
    restoreLayer();
    QDialog::reject();
}

void DLayerEdit::on_btnCancel_clicked()
{
    reject();
}

void DLayerEdit::on_btnOk_clicked()
{
    if (!changed) {
        reject();
        return;
    }
    layer->set_isShaderActive(true);
    for (const QByteArray &name : editedProperties) {
        oldValues.insert(name, backup->property(name.constData()));
        newValues.insert(name, layer->property(name.constData()));
    }
    m_edits->updateLayerProperties(row, oldValues, newValues);
    emit m_layers->pixelsChanged();
    accept();
}
