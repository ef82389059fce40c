#include "dquicksettings.h"
#include "ui_dquicksettings.h"

#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mfield.h"
#include "mutility.h"

#include <QListWidget>
#include <QMessageBox>

namespace {
constexpr int kSettingRole = 256;
}

DQuickSettings::DQuickSettings(QWidget *parent)
    : QDialog(parent), ui(new Ui_DQuickSettings)
{
    ui->setupUi(this);
    connect(ui->list, &QListWidget::itemDoubleClicked, this, &DQuickSettings::on_btnRemove_clicked);
    connect(ui->toAddList, &QListWidget::itemDoubleClicked, this, &DQuickSettings::on_btnAdd_clicked);
}

DQuickSettings::~DQuickSettings()
{
    delete ui;
}

QListWidget *DQuickSettings::chosenList() const
{
    return ui->list;
}

QListWidget *DQuickSettings::otherList() const
{
    return ui->toAddList;
}

void DQuickSettings::appendSetting(QListWidget *target, int id)
{
    const MField *field = MBrushSettingInfoList::instance()->info(id);
    auto *item = new QListWidgetItem(field ? field->label() : QString::number(id), target);
    item->setData(kSettingRole, id);
}

void DQuickSettings::setSettings(const QVector<int> &ids)
{
    ui->list->clear();
    ui->toAddList->clear();
    const int count = MBrushSettingInfoList::instance()->count();
    for (int id = 0; id < count; ++id)
        appendSetting(ids.contains(id) ? ui->list : ui->toAddList, id);
}

QVector<int> DQuickSettings::settings() const
{
    QVector<int> ids;
    for (int row = 0; row < ui->list->count(); ++row)
        ids.append(ui->list->item(row)->data(kSettingRole).toInt());
    return ids;
}

void DQuickSettings::fillAll(QListWidget *target)
{
    ui->list->clear();
    ui->toAddList->clear();
    const int count = MBrushSettingInfoList::instance()->count();
    for (int id = 0; id < count; ++id)
        appendSetting(target, id);
}

void DQuickSettings::transfer(QListWidget *from, QListWidget *to, const QString &emptyText,
                              const QString &noCurrentText)
{
    if (from->count() == 0) {
        MUtility::showMessage(QMessageBox::Critical, tr("Quick settings"), emptyText);
        return;
    }
    QListWidgetItem *current = from->currentItem();
    if (!current) {
        MUtility::showMessage(QMessageBox::Critical, tr("Quick settings"), noCurrentText);
        return;
    }
    to->addItem(from->takeItem(from->row(current)));
}

void DQuickSettings::on_btnAdd_clicked()
{
    transfer(ui->toAddList, ui->list, tr("There is no more setting to add."), tr("Please select an item to add."));
}

void DQuickSettings::on_btnRemove_clicked()
{
    transfer(ui->list, ui->toAddList, tr("There is no more setting to remove."),
             tr("Please select an item to remove."));
}

void DQuickSettings::on_btnAddAll_clicked()
{
    fillAll(ui->list);
}

void DQuickSettings::on_btnRemoveAll_clicked()
{
    fillAll(ui->toAddList);
}

void DQuickSettings::on_btnDefault_clicked()
{
    setSettings(MBrush::defaultQuickSettings());
}

void DQuickSettings::on_btnOk_clicked()
{
    accept();
}

void DQuickSettings::on_btnCancel_clicked()
{
    reject();
}

void DQuickSettings::on_btnMoveDown_clicked()
{
    MUtility::moveCurrentItemDown(ui->list);
}

void DQuickSettings::on_btnMoveAtTop_clicked()
{
    MUtility::moveCurrentItemToTop(ui->list);
}

void DQuickSettings::on_btnMoveAtBottom_clicked()
{
    MUtility::moveCurrentItemToBottom(ui->list);
}

void DQuickSettings::on_btnMoveUp_clicked()
{
    MUtility::moveCurrentItemUp(ui->list);
}
