#include "dcontextsetup.h"
#include "ui_dcontextsetup.h"

#include "msettingsformat.h"

#include <QSettings>

namespace {
const char *const group = "ContextDialog";
}

DContextSetup::DContextSetup(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DContextSetup)
{
    ui->setupUi(this);
    QSettings settings;
    settings.beginGroup(QLatin1String(group));
    ui->showBrushSizesCheckBox->setChecked(settings.value(QStringLiteral("showBrushSizes"), true).toBool());
    ui->showColorPaletteCheckBox->setChecked(settings.value(QStringLiteral("showColorPalette"), true).toBool());
    ui->translucentCheckBox->setChecked(settings.value(QStringLiteral("translucent"), true).toBool());
    ui->showColorHistoCheckBox->setChecked(settings.value(QStringLiteral("showColorHisto"), true).toBool());
    ui->showBrushListCheckBox->setChecked(settings.value(QStringLiteral("showBrushList"), true).toBool());
}

DContextSetup::~DContextSetup()
{
    delete ui;
}

void DContextSetup::on_okButton_clicked()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(group));
    settings.setValue(QStringLiteral("showBrushSizes"), ui->showBrushSizesCheckBox->isChecked());
    settings.setValue(QStringLiteral("showColorPalette"), ui->showColorPaletteCheckBox->isChecked());
    settings.setValue(QStringLiteral("translucent"), ui->translucentCheckBox->isChecked());
    settings.setValue(QStringLiteral("showColorHisto"), ui->showColorHistoCheckBox->isChecked());
    settings.setValue(QStringLiteral("showBrushList"), ui->showBrushListCheckBox->isChecked());
    MSettingsFormat::sync(settings);
    accept();
}

void DContextSetup::on_cancelButton_clicked()
{
    reject();
}
