#include "msettingstream.h"

#include "msettingsformat.h"
#include "mutility.h"

#include <QSettings>

MSettingStream::MSettingStream(QObject *parent) : QObject(parent)
{
}

MSettingStream::~MSettingStream()
{
    qDeleteAll(m_items);
}

void MSettingStream::setGroup(const QString &name)
{
    m_group = name.isEmpty() ? name : name.left(1).toUpper() + name.mid(1);
}

void MSettingStream::add(qint32 id, const QString &key, const QVariant &defaultValue)
{
    delete m_items.take(id);
    m_items.insert(id, new MSettingStreamItem(id, MUtility::lowerFirst(key), defaultValue));
}

QString MSettingStream::key(qint32 id) const
{
    const MSettingStreamItem *item = m_items.value(id);
    return item ? item->key : QString();
}

QVariant &MSettingStream::value(qint32 id)
{
    if (MSettingStreamItem *item = m_items.value(id))
        return item->value;
    m_scratch = QVariant();
    return m_scratch;
}

void MSettingStream::load()
{
    QSettings settings;
    if (!m_group.isEmpty())
        settings.beginGroup(m_group);
    for (MSettingStreamItem *item : qAsConst(m_items)) {
        QVariant read = settings.value(item->key, item->value);
        // The store gives some types back as text ("true", "12"): return them
        // in the type of the default, when they convert to it.
        const int type = item->value.userType();
        if (item->value.isValid() && read.userType() != type && read.canConvert(type)) {
            QVariant converted = read;
            if (converted.convert(type))
                read = converted;
        }
        if (read != item->value)
            item->value = read;
    }
    if (!m_group.isEmpty())
        settings.endGroup();
}

void MSettingStream::save()
{
    QSettings settings;
    if (!m_group.isEmpty())
        settings.beginGroup(m_group);
    for (const MSettingStreamItem *item : qAsConst(m_items))
        settings.setValue(item->key, item->value);
    if (!m_group.isEmpty())
        settings.endGroup();
    MSettingsFormat::sync(settings);
}
