#pragma once

#include <QObject>
#include <QString>
#include <QVector>

// A named group of brush settings, as the brush editors show them.
class MSettingCategory : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(QVector<int> settings READ settings NOTIFY settingsChanged)
public:
    explicit MSettingCategory(QObject *parent = nullptr);

    QString description() const { return m_description; }
    QVector<int> settings() const { return m_settings; }
    QString id() const { return m_id; }
    void clear();

public slots:
    void setDescription(const QString &description);
    void addSetting(int setting);

signals:
    void descriptionChanged(const QString &description);
    void settingsChanged(const QVector<int> &settings);

private:
    QString m_description;
    QVector<int> m_settings;
    QString m_id;
};
