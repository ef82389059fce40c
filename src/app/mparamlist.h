#pragma once

#include "mparamfile.h"
#include "mtablemodel.h"

#include <QMap>
#include <QStringList>

// A library whose items are stored one per file in two folders of one data
// kind: the installation's (system) and the user's. A user file hides the
// system file of the same id; the library order file "index.kxl" decides which
// items load and in what order, and the user's copy of it follows every append,
// removal and new order.
//
// A library derives from it, sets its item class (setMetaObject), its default
// item and order mode, implements createItem(), readItem() and loadItems()
// (usually readItems() then setRows()), and calls load() once.
//
// Ids that come out of files are trusted only as braced UUIDs; file paths are
// only ever built from ids that cannot leave the library's folders.
class MParamList : public MTableModel
{
public:
    enum OrderMode { SortedOrder = 0, IndexOrder = 1 };
    // Item files by upper-cased id.
    using Files = QMap<QString, MParamFile>;

    MParamList(int kind, const QString &extension, QObject *parent = nullptr);
    // A library kept in other folders than those of its kind.
    MParamList(int kind, const QString &extension, const QString &systemFolder, const QString &userFolder,
               QObject *parent = nullptr);

    // Merges the two folders, reads the order and hands both to loadItems().
    void load();
    virtual void loadItems(const QStringList &order, const Files &files);
    virtual void reorder();

    // append() also records the id in the order; removeAt() also drops it from
    // the order and deletes the item's user file.
    void append(QObject *item) override;
    void removeAt(int row) override;

    QObject *current() const { return currentItem(); }
    // The first row whose id equals id, both lower-cased, or -1; the default
    // item is never a row.
    int rowOfId(const QString &id) const;
    // Removes that row as removeAt() does; false when no row has the id.
    bool removeById(const QString &id);
    int kind() const { return m_kind; }
    QString extension() const { return m_extension; }
    QStringList order() const { return m_order; }
    int orderMode() const { return m_orderMode; }
    const Files &userFiles() const { return m_userFiles; }
    const Files &systemFiles() const { return m_systemFiles; }

    // The order; each returns whether the user order file was written.
    bool addId(const QString &id);
    bool removeId(const QString &id);
    bool setOrder(const QStringList &ids);
    bool isSystemId(const QString &id) const;

    // Folders (ending in "/") and files. The item file names are empty for an
    // id that cannot name a file inside the folder.
    QString folder(int location) const;
    QString itemFileName(const QString &id) const;
    QString userItemFileName(const QString &id) const;
    // Where the system file of the id was found, else where it would be.
    QString systemFilePath(const QString &id) const;
    // Where the item's user file is, or is to be written.
    QString userFilePath(const QObject *item) const;
    QString indexFileName(int location) const;
    QStringList readIndex(int location) const;
    // The ids an order file's bytes name, in their order: one a line, a "#"
    // starts a comment.
    static QStringList indexIds(const QByteArray &bytes);
    // Writes the user order file.
    bool writeIndex(const QStringList &ids) const;
    void scanDirectories(Files &table, int location) const;

    void sortItems();
    void applyIndexOrder();

    // The file an item was read from (invalid when none): on a case-sensitive
    // file system its name need not be the lower-cased id.
    static MParamFile itemFile(const QObject *item);
    static void setItemFile(QObject *item, const MParamFile &file);

    // Ids. An item id is an upper-case UUID in braces.
    static bool isItemId(const QString &id);
    // Whether the id can be a file name in a library folder.
    static bool isFileId(const QString &id);
    static QString newItemId();
    // The id an item read from a file keeps: the id found in the file when it
    // is a braced UUID, else the id of the file's name, else a new one.
    static QString acceptedItemId(const QString &readId, const QString &fileId);

protected:
    void setOrderMode(int mode) { m_orderMode = mode; }

    // Reads one item file into a new item; false drops the item.
    virtual bool readItem(QObject *item, const QString &path);
    // New items read from the files the order names, in its order (each file
    // once). An unreadable file is logged as "System error: " + failure + path.
    QList<QObject *> readItems(const QStringList &order, const Files &files, const QString &failure);
    // Replaces the rows by the items; row 0 becomes current.
    void setRows(const QList<QObject *> &items);

private:
    QObject *readItemFile(const MParamFile &file);
    // findById without the default item: null when no row has the id.
    QObject *rowById(const QString &id) const;
    QString fileName(int location, const QString &id) const;

    int m_kind;
    QString m_extension;
    QString m_folders[2];
    QStringList m_order;
    int m_orderMode = SortedOrder;
    Files m_userFiles;
    Files m_systemFiles;
};
