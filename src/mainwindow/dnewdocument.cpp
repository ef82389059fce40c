#include "dnewdocument.h"
#include "ui_dnewdocument.h"

#include "dpapersize.h"
#include "mdocumenttemplate.h"
#include "mdocumenttemplatelist.h"
#include "menum.h"
#include "mpaperfields.h"
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
    m_paper = new MPaperFields(ui->cbPaperType, ui->editPaperName, ui->btnEditColor, this);
    m_paper->fill(settings->paperType(), settings->paperName(), settings->paperColor());
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

void DNewDocument::on_btnCreate_clicked()
{
    if (!m_paper->check(tr("New document")))
        return;
    MSettings *settings = MSettings::instance();
    settings->set_paperType(m_paper->type());
    settings->set_paperName(m_paper->name());
    settings->set_paperColor(m_paper->color());
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
    // As with brushes and effects, a system template is changed by a copy in
    // the user folder: the installation's file is never written.
    t->set_fileName(list->userFilePath(t));
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
    if (list->isSystemId(t->id())) {
        MUtility::showMessage(QMessageBox::Critical, tr("Templates"), tr("You can't delete a system template."));
        return;
    }
    if (!MUtility::askConfirmation(tr("Delete template"), tr("You want to delete a template."),
                                   tr("Do you confirm the suppression?")))
        return;
    connectTemplates(false);
    // The library deletes the template's file, which only ever lies in the
    // user folder.
    list->removeAt(index);
    ui->cbTemplate->removeItem(index);
    loadTemplate(ui->cbTemplate->currentIndex());
    connectTemplates(true);
}

void DNewDocument::on_btnClearColor_clicked()
{
    m_paper->setColor(MSettings::instance()->paperColor());
}

void DNewDocument::on_btnEditColor_clicked()
{
    m_paper->editColor();
}

void DNewDocument::on_btnEditPaper_clicked()
{
    m_paper->editPaper();
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
