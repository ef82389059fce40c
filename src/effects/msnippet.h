#pragma once

#include <QObject>
#include <QString>

// One code fragment: a piece of GLSL kept for reuse in effect sources.
class MSnippet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
    Q_PROPERTY(QString name READ name WRITE set_name NOTIFY nameChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(QString source READ source WRITE set_source NOTIFY sourceChanged)

public:
    explicit MSnippet(QObject *parent = nullptr);

    QString id() const { return m_id; }
    QString name() const { return m_name; }
    QString description() const { return m_description; }
    QString source() const { return m_source; }

public slots:
    void set_id(const QString &value);
    void set_name(const QString &value);
    void set_description(const QString &value);
    void set_source(const QString &value);

signals:
    void idChanged(const QString &value);
    void nameChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void sourceChanged(const QString &value);

private:
    QString m_id;
    QString m_name;
    QString m_description;
    QString m_source;
};
