#pragma once

#include <QDialog>

namespace Ui {
class DSave;
}

// Asks whether to save a modified document. exec() returns the standard
// button codes QMessageBox::Ok (save), Ignore (don't save) or Cancel, so a
// caller handles it like a message box.
class DSave : public QDialog
{
    Q_OBJECT
public:
    explicit DSave(QWidget *parent = nullptr);
    ~DSave() override;

public slots:
    // Escape and the window's close button: the document must not be thrown
    // away by a question left unanswered.
    void reject() override;

private slots:
    void on_btnSave_clicked();
    void on_btnDoNotSave_clicked();
    void on_btnCancel_clicked();

private:
    Ui::DSave *ui;
};
