#include "dnewdocument.h"
#include "ui_dnewdocument.h"

#include "dpaperlist.h"
#include "dpapersize.h"
#include "mdocumenttemplate.h"
#include "mdocumenttemplatelist.h"
#include "menum.h"
#include "msettings.h"
#include "mutility.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QFileInfo>
#include <QInputDialog>
#include <QMetaEnum>
#include <QPushButton>
#include <QSignalBlocker>

DNewDocument::DNewDocument(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DNewDocument)
    , m_lastTemplateKey(QStringLiteral("lastDocumentTemplate"))
{
    ui->setupUi(this);
    MSettings *settings = MSettings::instance();
    const QMetaEnum types = QMetaEnum::fromType<MEnum::PaperType>();
    for (int i = 0; i < types.keyCount(); ++i)
        ui->cbPaperType->addItem(QCoreApplication::translate("Enum", types.key(i)), types.value(i));
    selectPaperType(settings->paperType());

    m_paperColor = settings->paperColor();
    updateColorIcon();
    ui->editPaperName->setText(settings->paperName());
    ui->sbWidth->setValue(settings->defaultWidth());
    ui->sbHeight->setValue(settings->defaultHeight());
    ui->cbAutoExtent->setChecked(settings->autoExtent());
    ui->sbMargin->setValue(settings->paintMargin());

    connect(ui->stdSizesBtn, &QToolButton::clicked, this, &DNewDocument::standardSizes);
    connect(ui->cbAutoExtent, &QCheckBox::clicked, this, &DNewDocument::autoExtentChanged);
    fillTemplates();
    connectTemplates(true);
}

DNewDocument::~DNewDocument()
{
    delete ui;
}

void DNewDocument::fillTemplates()
{
    ui->cbTemplate->clear();
    MDocumentTemplateList *list = MDocumentTemplateList::instance();
    for (int row = 0; row < list->count(); ++row)
        ui->cbTemplate->addItem(list->templateAt(row)->description());
    int index = MSettings::instance()->value(m_lastTemplateKey, 0).toInt();
    if (index < 0 || index >= list->count())
        index = 0;
    if (list->count() == 0)
        return;
    loadTemplate(index);
    ui->cbTemplate->setCurrentIndex(index);
}

void DNewDocument::connectTemplates(bool on)
{
    if (on == m_templatesConnected)
        return;
    if (on)
        connect(ui->cbTemplate, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DNewDocument::loadTemplate);
    else
        disconnect(ui->cbTemplate, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                   &DNewDocument::loadTemplate);
    m_templatesConnected = on;
}

void DNewDocument::selectPaperType(int type)
{
    ui->cbPaperType->setCurrentIndex(ui->cbPaperType->findData(type));
}

void DNewDocument::updateColorIcon()
{
    ui->btnEditColor->setIcon(MUtility::colorIcon(m_paperColor, 16, 16));
}

void DNewDocument::autoExtentChanged(bool) {}

void DNewDocument::loadTemplate(int index)
{
    if (index < 0 || index >= ui->cbTemplate->count())
        return;
    const bool wasConnected = m_templatesConnected;
    connectTemplates(false);
    if (MDocumentTemplate *t = MDocumentTemplateList::instance()->templateAt(index)) {
        ui->sbWidth->setValue(t->width());
        ui->sbHeight->setValue(t->height());
        ui->cbAutoExtent->setChecked(t->autoExtent());
        ui->sbMargin->setValue(t->margin());
    }
    connectTemplates(wasConnected);
}

void DNewDocument::on_btnCancel_clicked()
{
    reject();
}

bool DNewDocument::checkPaper()
{
    if (ui->cbPaperType->currentIndex() < 0) {
        MUtility::showMessage(QMessageBox::Critical, tr("New document"), tr("Please choose a paper type."));
        return false;
    }
    if (ui->cbPaperType->currentData().toInt() != MEnum::Paper)
        return true;
    // The file keeps its own name: on a case-sensitive file system a
    // lower-cased name would miss it.
    const QString name = ui->editPaperName->text().trimmed();
    if (name.isEmpty() || !QFileInfo::exists(MUtility::papersDirectory(MUtility::UserPath) + name)) {
        MUtility::showMessage(QMessageBox::Critical, tr("New document"), tr("Please choose a valid paper name."));
        return false;
    }
    return true;
}

void DNewDocument::on_btnCreate_clicked()
{
    if (!checkPaper())
        return;
    MSettings *settings = MSettings::instance();
    settings->set_paperType(ui->cbPaperType->currentData().toInt());
    settings->set_paperName(ui->editPaperName->text().trimmed());
    settings->set_paperColor(m_paperColor);
    settings->set_defaultWidth(ui->sbWidth->value());
    settings->set_defaultHeight(ui->sbHeight->value());
    settings->set_autoExtent(ui->cbAutoExtent->isChecked());
    settings->set_paintMargin(ui->sbMargin->value());
    settings->setValue(m_lastTemplateKey, qMax(0, ui->cbTemplate->currentIndex()));
    accept();
}

QString DNewDocument::askTemplateName(const QString &proposal)
{
    QString name = proposal;
    for (;;) {
        bool ok = false;
        name = QInputDialog::getText(this, tr("Templates"), tr("Template name:"), QLineEdit::Normal, name, &ok)
                   .trimmed();
        if (!ok)
            return QString();
        if (!name.isEmpty())
            return name;
        MUtility::showMessage(QMessageBox::Critical, tr("Templates"),
                              tr("A template name can't be empty. Please enter a name."));
    }
}

void DNewDocument::on_btnSaveAs_clicked()
{
    const QString name =
        askTemplateName(tr("New template - %1 x %2").arg(ui->sbWidth->value()).arg(ui->sbHeight->value()));
    if (name.isEmpty())
        return;
    MDocumentTemplateList *list = MDocumentTemplateList::instance();
    auto *t = new MDocumentTemplate();
    list->append(t);
    t->set_description(name);
    t->set_width(ui->sbWidth->value());
    t->set_height(ui->sbHeight->value());
    t->set_autoExtent(ui->cbAutoExtent->isChecked());
    t->set_margin(ui->sbMargin->value());
    if (!t->save()) {
        // A template the combo does not list would be saved over by the
        // wrong row later: the library drops it too.
        MUtility::showMessage(QMessageBox::Critical, tr("Templates"),
                              tr("Unable to save the template to %1.").arg(t->fileName()));
        list->removeAt(list->indexOf(t));
        return;
    }
    // The combo stays on the template just saved: its row in the library.
    connectTemplates(false);
    ui->cbTemplate->addItem(name);
    ui->cbTemplate->setCurrentIndex(ui->cbTemplate->count() - 1);
    connectTemplates(true);
}

void DNewDocument::on_btnSave_clicked()
{
    MDocumentTemplateList *list = MDocumentTemplateList::instance();
    if (list->count() == 0 || ui->cbTemplate->count() == 0) {
        on_btnSaveAs_clicked();
        return;
    }
    const int index = ui->cbTemplate->currentIndex();
    MDocumentTemplate *t = list->templateAt(index);
    if (index < 0 || !t) {
        MUtility::showMessage(QMessageBox::Critical, tr("Templates"), tr("Please, select a template before saving."));
        return;
    }
    t->set_description(ui->cbTemplate->currentText());
    t->set_width(ui->sbWidth->value());
    t->set_height(ui->sbHeight->value());
    t->set_autoExtent(ui->cbAutoExtent->isChecked());
    t->set_margin(ui->sbMargin->value());
    if (!t->save())
        MUtility::showMessage(QMessageBox::Critical, tr("Templates"),
                              tr("Unable to save the template to %1.").arg(t->fileName()));
}

void DNewDocument::on_btnDelete_clicked()
{
    const int index = ui->cbTemplate->currentIndex();
    MDocumentTemplateList *list = MDocumentTemplateList::instance();
    MDocumentTemplate *t = list->templateAt(index);
    if (index < 0 || !t)
        return;
    if (!MUtility::askConfirmation(tr("Delete template"), tr("You want to delete a template."),
                                   tr("Do you confirm the suppression?")))
        return;
    connectTemplates(false);
    if (!t->fileName().isEmpty() && QFileInfo::exists(t->fileName()))
        QFile::remove(t->fileName());
    list->removeAt(index);
    ui->cbTemplate->removeItem(index);
    loadTemplate(ui->cbTemplate->currentIndex());
    connectTemplates(true);
}

void DNewDocument::on_btnClearColor_clicked()
{
    m_paperColor = MSettings::instance()->paperColor();
    updateColorIcon();
}

void DNewDocument::on_btnEditColor_clicked()
{
    QColor color = m_paperColor;
    if (!MUtility::pickColor(color))
        return;
    m_paperColor = color;
    updateColorIcon();
    selectPaperType(MEnum::Colored);
}

void DNewDocument::on_btnEditPaper_clicked()
{
    DPaperList list(ui->editPaperName->text().trimmed(), nullptr);
    if (list.exec() != QDialog::Accepted)
        return;
    ui->editPaperName->setText(list.fileName());
    selectPaperType(MEnum::Paper);
}

void DNewDocument::standardSizes()
{
    DPaperSize dialog(nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->sbWidth->setValue(dialog.pixelWidth());
    ui->sbHeight->setValue(dialog.pixelHeight());
}

void DNewDocument::on_btnScreenSize_clicked()
{
    const QRect screen = QApplication::desktop()->geometry();
    ui->sbWidth->setValue(screen.width());
    ui->sbHeight->setValue(screen.height());
}
