#include "dname.h"
#include "ui_dname.h"

#include "mutility.h"

#include <QSet>

namespace {
QString normalized(const QString &text)
{
    return text.trimmed().toLower();
}
} // namespace

DName::DName(const QString &group, const QString &description, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DName)
    , m_group(normalized(group))
    , m_description(normalized(description))
{
    ui->setupUi(this);
    ui->editGroup->setCurrentText(m_group);
    ui->editDescription->setText(m_description);
}

DName::~DName()
{
    delete ui;
}

void DName::setGroups(const QStringList &groups)
{
    ui->editGroup->clear();
    QSet<QString> seen;
    QStringList items;
    for (const QString &group : groups) {
        const QString name = normalized(group);
        if (!seen.contains(name)) {
            seen.insert(name);
            items << name;
        }
    }
    items.sort();
    ui->editGroup->addItems(items);
    if (!m_group.isEmpty())
        ui->editGroup->setCurrentText(m_group);
}

void DName::on_btnOk_clicked()
{
    m_group = normalized(ui->editGroup->currentText());
    m_description = normalized(ui->editDescription->text());
    if (m_group.isEmpty()) {
        MUtility::showMessage(QMessageBox::Information, QString(), tr("Please, enter a group."));
        return;
    }
    if (m_description.isEmpty()) {
        MUtility::showMessage(QMessageBox::Information, QString(), tr("Please, enter a description."));
        return;
    }
    accept();
}

void DName::on_btnCancel_clicked()
{
    reject();
}
