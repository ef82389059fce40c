#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMetaMethod>
#include <QMetaObject>
#include <QVector3D>
#include <QVector>

class MField;
class QMimeData;
class QTableView;

// A table of objects of one class: one row per object, one column per
// property. The model owns its rows, keeps a current row, finds rows by their
// "id" property and follows the items' notify signals.
class MTableModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
public:
    explicit MTableModel(QObject *parent = nullptr);
    ~MTableModel() override;

    void setMetaObject(const QMetaObject &metaObject);
    const QMetaObject &itemMetaObject() const { return m_itemMetaObject; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    QHash<int, QByteArray> roleNames() const override;

    virtual QObject *createItem() = 0;
    virtual void insert(int row, QObject *item);
    virtual void append(QObject *item);
    virtual void prepend(QObject *item);
    virtual void removeAt(int row);
    virtual void itemAdded(QObject *item);
    virtual void itemRemoved(QObject *item);
    virtual void addItem(QObject *item);

    void clear();
    int count() const { return m_items.size(); }
    int currentRow() const { return m_currentRow; }
    int previousRow() const { return m_previousRow; }
    QObject *currentItem() const;
    QObject *item(int row) const;
    int indexOf(QObject *item) const { return m_items.indexOf(item); }
    bool isValidRow(int row) const { return row >= 0 && row < m_items.size(); }
    QObject *findById(const QString &id) const;
    bool loadJson(const QString &path);
    // The same on a file's bytes; origin names them in the log.
    bool loadJsonData(const QByteArray &bytes, const QString &origin);

    MField *column(int index) const { return m_columns.value(index); }
    MField *column(const QByteArray &name) const { return m_columnsByName.value(name); }
    QString mimeType() const { return m_mimeType; }
    void setMimeType(const QString &mimeType) { m_mimeType = mimeType; }
    QByteArray idProperty() const { return m_idProperty; }
    QObject *defaultItem() const { return m_defaultItem; }
    void setDefaultItem(QObject *item) { m_defaultItem = item; }

    void setupView(QTableView *view, const QList<QByteArray> &names);
    void setColumnWidth(QTableView *view, const QByteArray &name, int width);
    static void setRowHeight(QTableView *view, int height);

public slots:
    void setCurrentRow(int row);

signals:
    void currentRowChanged(int row);
    void countChanged(int count);
    void propertyChanged(int row, QObject *item, const QByteArray &name, const QVariant &value);

protected:
    // Puts the rows in a new order, as one layout change that carries the
    // views' persistent indexes along. Refused (false) unless the list holds
    // exactly the model's items.
    bool arrangeItems(const QList<QObject *> &items);

private slots:
    void onItemPropertyChanged();

private:
    bool loadArray(const QJsonArray &array);
    void insertRow(int row, QObject *item);
    void registerItem(QObject *item);
    void unregisterItem(QObject *item);
    QString idKey(QObject *item) const;
    void indexId(QObject *item);
    void unindexId(QObject *item);

    QList<QObject *> m_items;
    QHash<int, QByteArray> m_roleNames;
    QVector<MField *> m_columns;
    QHash<QByteArray, MField *> m_columnsByName;
    QMetaMethod m_onItemPropertyChanged;
    int m_currentRow = -1;
    int m_previousRow = -1;
    QString m_mimeType;
    QMetaObject m_itemMetaObject;
    QByteArray m_idProperty;
    QHash<QString, QObject *> m_idIndex;
    QHash<QObject *, QString> m_keyOfItem; // the key each item was registered under
    QObject *m_defaultItem = nullptr;
};

// An object's properties to and from a JSON object (the rows of JSON array files).
void jsonToObject(const QJsonObject &json, QObject *object);
void objectToJson(QJsonObject &json, const QObject *object);

// Reads a file holding a non-empty JSON array; false (and a log line when the
// file is unreadable or malformed) otherwise.
bool readJsonArrayFile(const QString &path, QJsonArray &array);
// The same on a file's bytes; origin names them in the log.
bool readJsonArray(const QByteArray &bytes, const QString &origin, QJsonArray &array);

// Connects (or disconnects) every notify signal of the item to a slot of the
// receiver, once.
void setNotifySignalsConnected(QObject *item, QObject *receiver, const QMetaMethod &slot, bool connected);

// Drag data of item models: the row, as a big-endian 32-bit integer.
QMimeData *rowMimeData(const QString &mimeType, int row);
// Rows of item models are selectable, editable, draggable, droppable and checkable.
Qt::ItemFlags rowFlags(const QModelIndex &index);

QString vector3DToString(const QVector3D &v);
QVector3D stringToVector3D(const QString &text);
QVector3D variantToVector3D(const QVariant &value);
