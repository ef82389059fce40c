#pragma once

#include <QObject>
#include <QString>

// One composition (blend) mode: how a stamp's colour combines with the
// layer's. The id is the whole contract between the mode table, a brush's
// stored setting and the stamping programs.
class MCompositionMode : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int mode READ mode WRITE set_mode NOTIFY modeChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(bool usedByBrush READ usedByBrush WRITE set_usedByBrush NOTIFY usedByBrushChanged)
public:
    explicit MCompositionMode(QObject *parent = nullptr);
    MCompositionMode(int mode, const QString &description, bool usedByBrush, QObject *parent = nullptr);

    int mode() const { return m_mode; }
    QString description() const { return m_description; }
    bool usedByBrush() const { return m_usedByBrush; }

public slots:
    void set_mode(int value);
    void set_description(const QString &value);
    void set_usedByBrush(bool value);

signals:
    void modeChanged(int value);
    void descriptionChanged(const QString &value);
    void usedByBrushChanged(bool value);

private:
    int m_mode = 0;
    QString m_description;
    bool m_usedByBrush = true;
};
