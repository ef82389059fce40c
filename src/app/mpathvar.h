#pragma once

#include <QObject>
#include <QString>

// One path variable: a token that stands for a well-known folder.
class MPathVar : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(QString variable READ variable WRITE set_variable NOTIFY variableChanged)
public:
    explicit MPathVar(QObject *parent = nullptr);

    QString description() const { return m_description; }
    QString variable() const { return m_variable; }

public slots:
    void set_description(const QString &description);
    void set_variable(const QString &variable);

signals:
    void descriptionChanged(const QString &description);
    void variableChanged(const QString &variable);

private:
    QString m_description;
    QString m_variable;
};
