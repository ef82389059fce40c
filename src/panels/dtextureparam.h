#pragma once

#include <QDialog>

namespace Ui {
class DTextureParam;
}

// Composes the declaration of a user texture for the parameter section.
class DTextureParam : public QDialog
{
    Q_OBJECT
public:
    explicit DTextureParam(QWidget *parent = nullptr);
    ~DTextureParam() override;

    QString declaration() const;

private slots:
    void addVar();
    void on_okBtn_clicked();
    void on_cancelBtn_clicked();
    void on_fileNameBtn_clicked();

private:
    Ui::DTextureParam *ui;
};
