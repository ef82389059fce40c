#pragma once

#include "mfield.h"
#include "msingleton.h"

#include <QMap>
#include <QObject>
#include <QVector>

class MSettingCategory;

// The table of the brush settings: label, description, type, range, default,
// step, unit and editor flags of each, and the categories the editors show.
class MBrushSettingInfoList : public QObject, public MSingleton<MBrushSettingInfoList>
{
    Q_OBJECT
public:
    explicit MBrushSettingInfoList(QObject *parent = nullptr);
    ~MBrushSettingInfoList() override;

    int count() const { return m_fields.size(); }
    MField *info(int id) const;
    MField *info(const QByteArray &name) const;
    QByteArray name(int id) const;
    void setSettingId(MField *record, int id);

    QVector<MSettingCategory *> categories() const { return m_categories; }
    QVector<MField *> categorySettings(int category) const;

    // The setting's name: its key without "bs", first letter lower-cased.
    static QByteArray settingName(int id);

private:
    void addCategory(const QString &description, const QVector<int> &settings);

    QMap<QByteArray, int> m_ids;
    QMap<int, MField *> m_fields;
    MField m_fallback;
    QVector<MSettingCategory *> m_categories;
};
