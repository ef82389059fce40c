#pragma once

#include <QDialog>
#include <QVector>

class QListWidget;
class QListWidgetItem;
class Ui_DQuickSettings;

// Which brush settings form a brush's quick list, and in which order: the
// left list is the chosen settings, the right one the others.
class DQuickSettings : public QDialog
{
    Q_OBJECT
public:
    explicit DQuickSettings(QWidget *parent = nullptr);
    ~DQuickSettings() override;

    // The chosen list comes out in setting-id order, whatever the order of ids.
    void setSettings(const QVector<int> &ids);
    // The chosen ids in list order.
    QVector<int> settings() const;

    QListWidget *chosenList() const;
    QListWidget *otherList() const;

public slots:
    void on_btnAdd_clicked();
    void on_btnRemove_clicked();
    void on_btnAddAll_clicked();
    void on_btnRemoveAll_clicked();
    void on_btnDefault_clicked();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_btnMoveDown_clicked();
    void on_btnMoveAtTop_clicked();
    void on_btnMoveAtBottom_clicked();
    void on_btnMoveUp_clicked();

private:
    // Every setting into one list, the other emptied.
    void fillAll(QListWidget *target);
    void appendSetting(QListWidget *target, int id);
    // The current item of from appended to to; the texts are the refusals.
    void transfer(QListWidget *from, QListWidget *to, const QString &emptyText, const QString &noCurrentText);

    Ui_DQuickSettings *ui;
};
