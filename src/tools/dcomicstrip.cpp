#include "dcomicstrip.h"
#include "ui_dcomicstrip.h"

#include "mcomicstriptool.h"
#include "mtools.h"

DComicStrip::DComicStrip(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DComicStrip)
{
    ui->setupUi(this);
    MComicStripTool *strip = tool();
    if (!strip)
        return;
    ui->editTopMargin->setValue(qRound(strip->topMargin()));
    ui->editLeftMargin->setValue(qRound(strip->leftMargin()));
    ui->editBottomMargin->setValue(qRound(strip->bottomMargin()));
    ui->editRightMargin->setValue(qRound(strip->rightMargin()));
    ui->editRowGap->setValue(qRound(strip->rowGap()));
    ui->editColGap->setValue(qRound(strip->colGap()));
    ui->editRows->setValue(strip->rows());
    ui->editColumns->setValue(strip->columns());
}

DComicStrip::~DComicStrip()
{
    delete ui;
}

MComicStripTool *DComicStrip::tool()
{
    MTools *tools = MTools::existingInstance();
    return tools ? tools->tool<MComicStripTool>(MTool::ComicStripTool) : nullptr;
}

void DComicStrip::on_btnOk_clicked()
{
    // The setters signal only what really changed.
    if (MComicStripTool *strip = tool()) {
        strip->set_topMargin(ui->editTopMargin->value());
        strip->set_leftMargin(ui->editLeftMargin->value());
        strip->set_bottomMargin(ui->editBottomMargin->value());
        strip->set_rightMargin(ui->editRightMargin->value());
        strip->set_rowGap(ui->editRowGap->value());
        strip->set_colGap(ui->editColGap->value());
        strip->set_rows(ui->editRows->value());
        strip->set_columns(ui->editColumns->value());
    }
    accept();
}

void DComicStrip::on_btnCancel_clicked()
{
    reject();
}
