#pragma once

#include "msettingstreamitem.h"

#include <QHash>
#include <QObject>

// A dialog's own options, kept in one group of the application settings
// and addressed by ids the dialog chooses.
class MSettingStream : public QObject
{
    Q_OBJECT
public:
    explicit MSettingStream(QObject *parent = nullptr);
    ~MSettingStream() override;

    // The group name starts with a capital, whatever the caller wrote.
    void setGroup(const QString &name);
    QString group() const { return m_group; }
    // A key starts with a small letter; a second add for an id replaces the first.
    void add(qint32 id, const QString &key, const QVariant &defaultValue);
    bool contains(qint32 id) const { return m_items.contains(id); }
    QString key(qint32 id) const;
    // The value of a registered id, to read or write. An id never added gets a
    // scratch value that is neither loaded nor saved.
    QVariant &value(qint32 id);

    void load();
    void save();

private:
    QHash<qint32, MSettingStreamItem *> m_items;
    QString m_group;
    QVariant m_scratch;
};
