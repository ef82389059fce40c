#include "dbrushsettings.h"
#include "ui_dbrushsettings.h"

#include "dcurveeditor.h"
#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mconnector.h"
#include "mfield.h"
#include "mfilesavedialog.h"
#include "mlogger.h"
#include "mregularfile.h"
#include "msettingcategory.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtextureutility.h"
#include "mutility.h"

#include <QAction>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QToolButton>

namespace {
// The brush's engine when the effect library knows it.
MShader *engineOf(const MBrush *brush)
{
    if (!brush || brush->shaderId().isEmpty())
        return nullptr;
    return MShaderList::instance()->find(brush->shaderId());
}
} // namespace

DBrushSettings::DBrushSettings(QWidget *parent)
    : QDialog(parent), ui(new Ui_DBrushSettings), m_brush(new MBrush),
      m_loadTextureAction(new QAction(QIcon(QStringLiteral(":/icons/image.ico")), tr("Load brush texture"), this)),
      m_resetTextureAction(
          new QAction(QIcon(QStringLiteral(":/icons/image-reset.ico")), tr("Remove brush texture"), this)),
      m_exportTextureAction(
          new QAction(QIcon(QStringLiteral(":/icons/image-save.ico")), tr("Export brush texture"), this)),
      m_connector(new MConnector(this))
{
    ui->setupUi(this);
    auto *menu = new QMenu(this);
    menu->addActions({m_loadTextureAction, m_resetTextureAction, m_exportTextureAction});
    ui->loadBrushTextureButton->setMenu(menu);
    ui->loadBrushTextureButton->setDefaultAction(m_loadTextureAction);

    ui->categoryComboBox->addItem(tr("Preferred settings"), int(preferedPageId));
    const QVector<MSettingCategory *> categories = MBrushSettingInfoList::instance()->categories();
    for (int i = 0; i < categories.size(); ++i)
        ui->categoryComboBox->addItem(categories.at(i)->description(), i);
    ui->categoryComboBox->addItem(tr("Engine parameters"), int(enginePageId));
    ui->categoryComboBox->setCurrentIndex(0);
}

DBrushSettings::~DBrushSettings()
{
    m_connector->disconnectAll();
    // The panel must not outlive the brush it is bound to.
    ui->fieldPanel->setObject(nullptr);
}

void DBrushSettings::setBrush(MBrush *brush)
{
    if (!brush)
        return;
    m_libraryBrush = brush;
    m_brush->copyFrom(brush);
    m_brush->setId(brush->id());
    updateInfo();
    updatePanel();
    setWindowTitle(tr("%1/%2").arg(brush->group(), brush->description()));
    refreshPreview();
    m_modified = false;
}

void DBrushSettings::connectSignals()
{
    if (m_connector->isConnected())
        return;
    m_connector
        ->add(connect(ui->categoryComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                      &DBrushSettings::setCurrentCategory))
        ->add(connect(m_loadTextureAction, &QAction::triggered, this, &DBrushSettings::loadBrushTexture))
        ->add(connect(m_resetTextureAction, &QAction::triggered, this, &DBrushSettings::resetBrushTexture))
        ->add(connect(m_exportTextureAction, &QAction::triggered, this, &DBrushSettings::exportBrushTexture))
        ->add(connect(ui->fieldPanel, &MFieldPanel::valueChanged, this, &DBrushSettings::onBrushValueChanged))
        ->add(connect(ui->fieldPanel, &MFieldPanel::editCurve, this, &DBrushSettings::onEditCurve));
}

void DBrushSettings::updatePanel()
{
    const QVariant data = ui->categoryComboBox->currentData();
    if (data.type() != QVariant::Int)
        return;
    m_connector->disconnectAll();
    const int page = data.toInt();
    if (page == preferedPageId) {
        ui->fieldPanel->setFields(quickSettingFields(m_brush.get()));
        ui->fieldPanel->setObject(m_brush.get());
    } else if (page == enginePageId) {
        if (MShader *engine = engineOf(m_brush.get())) {
            // An engine whose parameters do not read leaves the panel as it was.
            if (engine->parseParams()) {
                ui->fieldPanel->setFields(engineFields(engine));
                ui->fieldPanel->setObject(m_brush->shaderValues());
            }
        } else {
            ui->fieldPanel->setObject(nullptr);
        }
    } else {
        ui->fieldPanel->setBrushSettingGroup(page);
        ui->fieldPanel->setObject(m_brush.get());
    }
    connectSignals();
}

QVector<MField *> DBrushSettings::quickSettingFields(const MBrush *brush)
{
    QVector<MField *> fields;
    for (int id : brush->quickSettings())
        fields.append(MBrushSettingInfoList::instance()->info(id));
    return fields;
}

QVector<MField *> DBrushSettings::engineFields(MShader *engine)
{
    QVector<MField *> fields;
    for (int i = 0; i < engine->paramCount(); ++i)
        fields.append(engine->paramAt(i));
    return fields;
}

void DBrushSettings::setCurrentCategory(int index)
{
    MSettings::instance()->setIntValue(QStringLiteral("brushSettingsCategory"), index < 0 ? 0 : index);
    updatePanel();
}

void DBrushSettings::onBrushValueChanged(const QByteArray &, const QVariant &)
{
    refreshPreview();
    m_modified = true;
}

void DBrushSettings::refreshPreview()
{
    const QImage preview = m_brush->createPreview(Qt::darkGray, Qt::white);
    if (preview.isNull()) {
        ui->imageLabel->clear();
        return;
    }
    ui->imageLabel->setPixmap(QPixmap::fromImage(
        preview.scaled(ui->imageLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void DBrushSettings::updateInfo()
{
    const QImage texture = m_brush->texture();
    QString text;
    if (texture.isNull()) {
        ui->textureLabel->hide();
        text = tr("no texture");
    } else {
        ui->textureLabel->show();
        ui->textureLabel->setPixmap(QPixmap::fromImage(
            texture.scaled(ui->textureLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        text = tr("width: %1 - height: %2").arg(texture.width()).arg(texture.height());
    }
    m_resetTextureAction->setEnabled(!texture.isNull());
    m_exportTextureAction->setEnabled(!texture.isNull());
    if (MShader *engine = engineOf(m_brush.get()))
        text += QStringLiteral(" - engine: %1").arg(engine->description());
    ui->descriptionLabel->setText(text);
}

void DBrushSettings::onEditCurve(QToolButton *button, int setting)
{
    DCurveEditor editor(m_brush.get(), setting, this);
    editor.exec();
    if (!editor.modified())
        return;
    m_modified = true;
    if (button)
        button->setIcon(QIcon(m_brush->settingHasCurve(setting) ? QStringLiteral("://icons/check.ico")
                                                                : QStringLiteral("://icons/plus.ico")));
    refreshPreview();
}

void DBrushSettings::loadBrushTexture()
{
    if (!loadBrushTextureFile(m_brush.get()))
        return;
    updatePanel();
    m_modified = true;
    refreshPreview();
    updateInfo();
}

bool DBrushSettings::loadBrushTextureFile(MBrush *target)
{
    if (!target)
        return false;
    MSettings *settings = MSettings::instance();
    const QString fileName = MUtility::askOpenFileName(
        tr("Brush texture"), settings->lastFilesDir(), MUtility::imageFileFilter(false).join(QStringLiteral(";;")));
    if (fileName.isEmpty())
        return false;
    settings->set_lastFilesDir(QFileInfo(fileName).absolutePath());

    MRegularFile file(fileName);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(
            QStringLiteral("Unable to read the brush texture %1: %2").arg(fileName, file.errorString()));
        MUtility::showMessage(QMessageBox::Critical, tr("Brush texture"), tr("An error occurred while loading the file."),
                              QMessageBox::Ok, QMessageBox::NoButton, file.errorString());
        return false;
    }
    QImageReader reader(&file);
    // A larger texture would make a brush whose file cannot be read back.
    const QSize size = reader.size();
    if (!MUtility::isWithinImageLimit(size)) {
        MLogger::instance()->systemError(QStringLiteral("Brush texture %1 refused: %2 x %3 pixels")
                                             .arg(fileName)
                                             .arg(size.width())
                                             .arg(size.height()));
        MUtility::showMessage(QMessageBox::Critical, tr("Brush texture"),
                              tr("The image has %1 x %2 pixels: a brush texture has at most %3 x %4.")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(MUtility::maximumImageSize().width())
                                  .arg(MUtility::maximumImageSize().height()));
        return false;
    }
    QImage image;
    if (!reader.read(&image)) {
        MLogger::instance()->systemError(
            QStringLiteral("Unable to read the brush texture %1: %2").arg(fileName, reader.errorString()));
        MUtility::showMessage(QMessageBox::Critical, tr("Brush texture"), tr("An error occurred while loading the file."));
        return false;
    }
    if (image.isNull()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush texture"), tr("Invalid image."));
        return false;
    }
    const QColor topLeft = image.pixelColor(0, 0);
    double angle = 0.0;
    if (image.height() > image.width()) {
        image = image.transformed(QTransform().rotate(90), Qt::FastTransformation);
        angle = 90.0;
    }
    target->setAngle(angle);
    if (topLeft.alpha() != 0) {
        if (MUtility::showMessage(QMessageBox::Question, tr("Brush texture"),
                                  tr("The image background seems to be opaque. Do you want a transparent background? "
                                     "If not, texture color will be preserved."),
                                  QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes)
            image = colorToAlpha(image, topLeft);
        else
            target->setPreserveTextureColor(1);
    }
    int width = image.width();
    const double ratio = double(image.height()) / width;
    if (width > 1000) {
        image = image.scaled(1000, int(ratio * 1000), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        width = 1000;
    }
    target->setTexture(image);
    target->setRadius(width * 0.5);
    target->setRatio(ratio);
    return true;
}

void DBrushSettings::resetBrushTexture()
{
    if (m_brush->texture().isNull()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Reset texture"), tr("This brush has no texture."));
        return;
    }
    if (MUtility::showMessage(QMessageBox::Question, tr("Reset texture"),
                              tr("Are you sure you want to remove brush texture?"),
                              QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Cancel)
        return;
    m_brush->setTexture(QImage());
    m_modified = true;
    refreshPreview();
    updateInfo();
}

void DBrushSettings::exportBrushTexture()
{
    const QImage texture = m_brush->texture();
    if (texture.isNull()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("No texture to save!"));
        return;
    }
    MFileSaveDialog dialog(tr("Save texture"), MFileDialog::ImageLocation, this);
    MUtility::imageMimeFilters(&dialog, QStringLiteral("png"));
    QString fileName;
    if (!MUtility::chooseFile(&dialog, fileName) || fileName.isEmpty())
        return;
    if (QFileInfo::exists(fileName)
        && MUtility::showMessage(QMessageBox::Question, tr("Brush"), tr("This file exists. Do you want to replace it?"),
                                 QMessageBox::Ok | QMessageBox::Cancel)
               == QMessageBox::Cancel)
        return;
    QString reason;
    if (!MUtility::writeImage(texture, fileName, reason))
        MLogger::instance()->systemError(QStringLiteral("Unable to write texture %1: %2").arg(fileName, reason));
}

void DBrushSettings::copyBack()
{
    m_libraryBrush->copyFrom(m_brush.get());
    m_libraryBrush->updatePreview();
}

void DBrushSettings::on_saveButton_clicked()
{
    if (!m_libraryBrush)
        return;
    copyBack();
    if (saveBrush(m_libraryBrush, true))
        m_modified = false;
}

bool DBrushSettings::saveBrush(MBrush *brush, bool tellSuccess)
{
    if (!brush->save()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Brush"), tr("An error occurred while saving the file."));
        return false;
    }
    if (tellSuccess)
        MUtility::showMessage(QMessageBox::Information, tr("Brush"), tr("File saved."));
    return true;
}

bool DBrushSettings::confirmClose()
{
    if (!m_modified || !m_libraryBrush)
        return true;
    const int choice = MUtility::askChoice(
        {tr("Save"), tr("Keep changes but do not save"), tr("Discard and close"), tr("Don't close")},
        tr("The brush has been modified."),
        tr("If you do not save, the changes will be discarded at next application startup."));
    if (choice == 3)
        return false;
    if (choice == 2)
        return true;
    copyBack();
    if (choice != 0)
        return true;
    // On failure the changes are in the library brush; the painter decides what next.
    if (!saveBrush(m_libraryBrush, false))
        return false;
    m_modified = false;
    return true;
}

void DBrushSettings::reject()
{
    if (confirmClose())
        QDialog::reject();
}
