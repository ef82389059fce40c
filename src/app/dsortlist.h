#pragma once

#include "mparamlist.h"

#include <QDialog>
#include <QSet>

class QListWidget;
class Ui_DSortList;

// The saved order of a folder-backed library: the left list is the order,
// the right list the items of the library's folders that it leaves out. Ok
// hands the left list to the library, which writes its order file; the
// library's rows stay as they are until it loads again.
class DSortList : public QDialog
{
    Q_OBJECT
public:
    explicit DSortList(MParamList *library, QWidget *parent = nullptr);
    ~DSortList() override;

    QListWidget *orderList() const;
    QListWidget *excludeList() const;
    bool isChanged() const { return m_changed; }

    struct ItemInfo
    {
        QString group;
        QString description;
    };
    // Group and description of an item file, lower-cased; empty when unreadable.
    static ItemInfo readItemInfo(const QString &path);

public slots:
    void moveUp();
    void moveDown();
    void moveAtTop();
    void moveAtBottom();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_removeBtn_clicked();
    void on_removeAllBtn_clicked();
    void on_addBtn_clicked();
    void on_addAllBtn_clicked();

private:
    void addItem(QListWidget *list, const QString &id, const QString &group, const QString &description,
                 const QString &origin);
    void transferItem(QListWidget *from, QListWidget *to);
    // Takes the current row out and puts it back at the row, which becomes current.
    void moveCurrentTo(int row);

    Ui_DSortList *ui;
    MParamList *m_library;
    bool m_changed = false;
    QSet<QString> m_listedIds;
    MParamList::Files m_userTable;
    MParamList::Files m_systemTable;
};
