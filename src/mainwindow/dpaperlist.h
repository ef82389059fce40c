#pragma once

#include <QDialog>

class MIconProvider;
class QFileSystemModel;

namespace Ui {
class DPaperList;
}

// Picks a paper image from the user papers folder, where papers can also be
// added and removed.
class DPaperList : public QDialog
{
    Q_OBJECT
public:
    DPaperList(const QString &fileName, QWidget *parent = nullptr);
    ~DPaperList() override;

    QString fileName() const { return m_fileName; }

private slots:
    void on_btnChoose_clicked();
    void on_btnAdd_clicked();
    void on_btnRemove_clicked();

private:
    QString selectedName() const;
    void select(const QString &name);

    Ui::DPaperList *ui;
    QString m_fileName;
    QString m_folder;
    QFileSystemModel *m_model;
    MIconProvider *m_icons;
};
