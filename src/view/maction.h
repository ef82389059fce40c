#pragma once

#include <QAction>
#include <QObject>
#include <QString>

// One command of the application as the shortcut editor lists it.
class MAction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(QString shortCut READ shortCut WRITE set_shortCut NOTIFY shortCutChanged)
    Q_PROPERTY(QAction *action READ action WRITE set_action NOTIFY actionChanged)
public:
    explicit MAction(QObject *parent = nullptr);

    QString description() const { return m_description; }
    // Portable text of the key sequence.
    QString shortCut() const { return m_shortCut; }
    // Not owned.
    QAction *action() const { return m_action; }

signals:
    void descriptionChanged(const QString &value);
    void shortCutChanged(const QString &value);
    void actionChanged(QAction *value);

public slots:
    void set_description(const QString &value);
    void set_shortCut(const QString &value);
    void set_action(QAction *value);

private:
    QString m_description;
    QString m_shortCut;
    QAction *m_action = nullptr;
};
