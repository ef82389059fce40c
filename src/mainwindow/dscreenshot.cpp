#include "dscreenshot.h"

#include "mconnector.h"
#include "mfolders.h"
#include "msettingsformat.h"
#include "mutility.h"
#include "ui_dscreenshot.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {
const char *const kGroup = "Screenshot";
}

DScreenshot::DScreenshot(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DScreenshot)
    , m_connector(new MConnector(this))
{
    ui->setupUi(this);
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    ui->colorEdit->setColor(settings.value(QStringLiteral("BackgroundColor"), QColor(Qt::white)).value<QColor>());
    ui->preserveRatioEdit->setChecked(settings.value(QStringLiteral("PreserveRatio"), true).toBool());
    ui->transparentEdit->setChecked(settings.value(QStringLiteral("Transparent"), true).toBool());
    ui->lockEdit->setChecked(settings.value(QStringLiteral("Lock"), true).toBool());
    ui->widthEdit->setValue(settings.value(QStringLiteral("PictureWidth"), 800).toInt());
    ui->heightEdit->setValue(settings.value(QStringLiteral("PictureHeight"), 800).toInt());
    ui->copyToClipboardEdit->setChecked(settings.value(QStringLiteral("CopyToClipboard"), true).toBool());
    settings.endGroup();
    // A colour background is chosen again each time; without it the
    // transparent one is selected, so that one of the two always is.
    if (!ui->transparentEdit->isChecked())
        ui->coloredEdit->setChecked(true);
    m_ratio = double(ui->widthEdit->value()) / double(ui->heightEdit->value());
    ui->colorEdit->setEnabled(ui->coloredEdit->isChecked());
    ui->fileNameEdit->setText(uniqueFileName(QString()));
    connectEditors();
}

DScreenshot::~DScreenshot()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(QStringLiteral("BackgroundColor"), ui->colorEdit->color());
    settings.setValue(QStringLiteral("PreserveRatio"), ui->preserveRatioEdit->isChecked());
    settings.setValue(QStringLiteral("Transparent"), ui->transparentEdit->isChecked());
    settings.setValue(QStringLiteral("Lock"), ui->lockEdit->isChecked());
    settings.setValue(QStringLiteral("PictureWidth"), ui->widthEdit->value());
    settings.setValue(QStringLiteral("PictureHeight"), ui->heightEdit->value());
    settings.setValue(QStringLiteral("CopyToClipboard"), ui->copyToClipboardEdit->isChecked());
    settings.endGroup();
    MSettingsFormat::sync(settings);
    delete ui;
}

int DScreenshot::pictureWidth() const { return ui->widthEdit->value(); }
int DScreenshot::pictureHeight() const { return ui->heightEdit->value(); }
bool DScreenshot::isTransparent() const { return ui->transparentEdit->isChecked(); }
QColor DScreenshot::backgroundColor() const { return ui->colorEdit->color(); }
QString DScreenshot::fileName() const { return ui->fileNameEdit->text().trimmed(); }
bool DScreenshot::copyToClipboard() const { return ui->copyToClipboardEdit->isChecked(); }

QString DScreenshot::defaultFileName(int n)
{
    return QStringLiteral("screenshot-%1.jpg").arg(n);
}

QString DScreenshot::uniqueFileName(const QString &folder)
{
    const QString base = (!folder.isEmpty() && QDir(folder).exists()) ? MFolders::folderPath(folder)
                                                                       : MUtility::screenshotsDirectory();
    int n = 1;
    while (QFileInfo::exists(base + defaultFileName(n)))
        ++n;
    return base + defaultFileName(n);
}

void DScreenshot::connectEditors()
{
    if (m_connector->count() > 0)
        return;
    m_connector->add(connect(ui->coloredEdit, &QRadioButton::toggled, ui->colorEdit, &QWidget::setEnabled))
        ->add(connect(ui->heightEdit, QOverload<int>::of(&QSpinBox::valueChanged), this, &DScreenshot::onHeightChanged))
        ->add(connect(ui->widthEdit, QOverload<int>::of(&QSpinBox::valueChanged), this, &DScreenshot::onWidthChanged));
}

void DScreenshot::onWidthChanged(int width)
{
    if (!ui->lockEdit->isChecked())
        return;
    m_connector->disconnectAll();
    ui->heightEdit->setValue(int(width / m_ratio));
    connectEditors();
}

void DScreenshot::onHeightChanged(int height)
{
    if (!ui->lockEdit->isChecked())
        return;
    m_connector->disconnectAll();
    ui->widthEdit->setValue(int(height * m_ratio));
    connectEditors();
}

void DScreenshot::on_resetWidthButton_clicked()
{
    QWidget *owner = parentWidget();
    if (!owner)
        return;
    m_connector->disconnectAll();
    ui->widthEdit->setValue(owner->width());
    m_ratio = double(ui->widthEdit->value()) / double(ui->heightEdit->value());
    connectEditors();
    if (ui->lockEdit->isChecked()) {
        m_connector->disconnectAll();
        ui->heightEdit->setValue(int(ui->widthEdit->value() / m_ratio));
        connectEditors();
    }
}

void DScreenshot::on_resetHeightButton_clicked()
{
    QWidget *owner = parentWidget();
    if (!owner)
        return;
    m_connector->disconnectAll();
    ui->heightEdit->setValue(owner->height());
    m_ratio = double(ui->widthEdit->value()) / double(ui->heightEdit->value());
    connectEditors();
    if (ui->lockEdit->isChecked()) {
        m_connector->disconnectAll();
        ui->widthEdit->setValue(int(ui->heightEdit->value() * m_ratio));
        connectEditors();
    }
}

void DScreenshot::on_fileButton_clicked()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("gif"));
    dialog.setDirectory(MUtility::screenshotsDirectory());
    dialog.selectFile(uniqueFileName(QString()));
    QString chosen;
    if (MUtility::chooseFile(&dialog, chosen))
        ui->fileNameEdit->setText(chosen);
}

void DScreenshot::on_buttonBox_accepted()
{
    const QString name = fileName();
    if (name.isEmpty())
        return;
    // Replacing a picture the painter kept is asked about, never done silently
    // and never refused without a word.
    if (QFileInfo::exists(name)
        && MUtility::showMessage(QMessageBox::Question, tr("Screenshot"),
                                 tr("The file %1 already exists. Do you want to replace it?").arg(name),
                                 QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    accept();
}

void DScreenshot::on_buttonBox_rejected()
{
    reject();
}
