#pragma once

#include <QDialog>

namespace Ui {
class DContextSetup;
}

// Chooses the parts of the context panel and its translucency; the next
// panel opened follows the choice.
class DContextSetup : public QDialog
{
    Q_OBJECT
public:
    explicit DContextSetup(QWidget *parent = nullptr);
    ~DContextSetup() override;

private slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    Ui::DContextSetup *ui;
};
