#pragma once

#include "mbrushinputinfo.h"
#include "msingleton.h"

#include <QMap>
#include <QObject>

// The table of the stroke inputs that drive the brush curves.
class MBrushInputInfoList : public QObject, public MSingleton<MBrushInputInfoList>
{
    Q_OBJECT
public:
    explicit MBrushInputInfoList(QObject *parent = nullptr);

    int count() const { return m_infos.size(); }
    MBrushInputInfo info(int id) const { return m_infos.value(id, m_fallback); }

private:
    void add(int id, const QString &label, const QString &description, double minimum, double defaultValue, double maximum);

    QMap<int, MBrushInputInfo> m_infos;
    MBrushInputInfo m_fallback;
};
