#pragma once

#include <QString>
#include <QVariant>

// One option of a dialog's setting group: its id, its key and its value.
class MSettingStreamItem
{
public:
    MSettingStreamItem(qint32 id, const QString &key, const QVariant &value) : id(id), key(key), value(value) {}

    qint32 id;
    QString key;
    QVariant value;
};
