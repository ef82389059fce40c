#include "dsave.h"
#include "ui_dsave.h"

#include <QMessageBox>

DSave::DSave(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DSave)
{
    ui->setupUi(this);
}

DSave::~DSave()
{
    delete ui;
}

void DSave::reject()
{
    done(QMessageBox::Cancel);
}

void DSave::on_btnSave_clicked()
{
    done(QMessageBox::Ok);
}

void DSave::on_btnDoNotSave_clicked()
{
    done(QMessageBox::Ignore);
}

void DSave::on_btnCancel_clicked()
{
    done(QMessageBox::Cancel);
}
