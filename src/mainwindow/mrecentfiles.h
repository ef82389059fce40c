#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QAction;
class QMenu;

// The documents and images last opened or saved, kept in the setting
// "recentFiles" (most recent first) and shown as numbered entries of a menu.
// Entries whose file has gone are hidden; their numbers stay free.
class MRecentFiles : public QObject
{
    Q_OBJECT
public:
    MRecentFiles(QMenu *menu, int maxRecentFiles, QObject *parent = nullptr);
    ~MRecentFiles() override;

    int maxRecentFiles() const { return m_maxRecentFiles; }
    // The entry actions in menu order, shown or hidden.
    QVector<QAction *> actions() const { return m_actions; }

public slots:
    void setCurrentFile(const QString &path);
    void setMaxRecentFiles(int count);

signals:
    void openRecentFile(const QString &path);
    void maxRecentFilesChanged(int count);

private slots:
    void onActionTriggered();

private:
    void createActions();
    void deleteActions();
    void refresh();

    QMenu *m_menu;
    int m_maxRecentFiles;
    QVector<QAction *> m_actions;
};
