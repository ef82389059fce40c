#pragma once

#include <QAction>
#include <QIcon>
#include <QObject>
#include <QVector>

class QDockWidget;
class QWidget;

// A tool's place in the user interface: its group (0 the exclusive tools,
// 1 the guides), whether it is switched on, its icon and description, and the
// action, option bars and docks of the main window bound to it.
class MInterfaceItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int toolId READ toolId WRITE set_toolId NOTIFY toolIdChanged)
    Q_PROPERTY(int group READ group WRITE set_group NOTIFY groupChanged)
    Q_PROPERTY(bool active READ active WRITE set_active NOTIFY activeChanged)
    Q_PROPERTY(bool autoShow READ autoShow WRITE set_autoShow NOTIFY autoShowChanged)
    Q_PROPERTY(QString description READ description WRITE set_description NOTIFY descriptionChanged)
    Q_PROPERTY(QString toolHint READ toolHint WRITE set_toolHint NOTIFY toolHintChanged)
    Q_PROPERTY(QIcon icon READ icon WRITE set_icon NOTIFY iconChanged)
    Q_PROPERTY(QAction *toolAction READ toolAction WRITE set_toolAction NOTIFY toolActionChanged)
public:
    MInterfaceItem(int toolId, int group, QObject *parent = nullptr);

    int toolId() const { return m_toolId; }
    int group() const { return m_group; }
    bool active() const { return m_active; }
    bool autoShow() const { return m_autoShow; }
    QString description() const { return m_description; }
    QString toolHint() const { return m_toolHint; }
    QIcon icon() const { return m_icon; }
    QAction *toolAction() const { return m_toolAction; }

    // Not owned; the registry adds them while it binds the main window.
    const QVector<QWidget *> &toolBars() const { return m_toolBars; }
    const QVector<QDockWidget *> &docks() const { return m_docks; }
    void addToolBar(QWidget *bar) { m_toolBars.append(bar); }
    void addDock(QDockWidget *dock) { m_docks.append(dock); }

public slots:
    void set_toolId(int value);
    void set_group(int value);
    void set_active(bool value);
    void set_autoShow(bool value);
    void set_description(const QString &value);
    void set_toolHint(const QString &value);
    // Icons cannot be compared: stored as given, without a signal.
    void set_icon(const QIcon &value);
    void set_toolAction(QAction *value);

signals:
    void toolIdChanged(int value);
    void groupChanged(int value);
    void activeChanged(bool value);
    void autoShowChanged(bool value);
    void descriptionChanged(const QString &value);
    void toolHintChanged(const QString &value);
    void iconChanged(const QIcon &value);
    void toolActionChanged(QAction *value);

private:
    int m_toolId;
    int m_group;
    bool m_active = false;
    bool m_autoShow = true;
    QString m_description;
    QString m_toolHint;
    QIcon m_icon;
    QAction *m_toolAction = nullptr;
    QVector<QWidget *> m_toolBars;
    QVector<QDockWidget *> m_docks;
};
