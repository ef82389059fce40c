#include "mrecentfiles.h"

#include "msettings.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

MRecentFiles::MRecentFiles(QMenu *menu, int maxRecentFiles, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_maxRecentFiles(qMax(0, maxRecentFiles))
{
    createActions();
}

MRecentFiles::~MRecentFiles()
{
    deleteActions();
}

void MRecentFiles::createActions()
{
    for (int i = 0; i < m_maxRecentFiles; ++i) {
        auto *action = new QAction(this);
        action->setVisible(false);
        connect(action, &QAction::triggered, this, &MRecentFiles::onActionTriggered);
        m_actions.append(action);
        if (m_menu)
            m_menu->addAction(action);
    }
    refresh();
}

void MRecentFiles::deleteActions()
{
    qDeleteAll(m_actions);
    m_actions.clear();
}

void MRecentFiles::refresh()
{
    const QStringList files = MSettings::instance()->recentFiles();
    const int shown = qMin(files.size(), m_maxRecentFiles);
    for (int i = 0; i < shown; ++i) {
        QAction *action = m_actions.at(i);
        const QFileInfo info(files.at(i));
        if (!info.exists()) {
            action->setVisible(false);
            continue;
        }
        action->setText(tr("&%1 ").arg(i + 1) + info.fileName());
        action->setData(files.at(i));
        action->setVisible(true);
    }
    for (int i = shown; i < m_maxRecentFiles; ++i)
        m_actions.at(i)->setVisible(false);
}

void MRecentFiles::setCurrentFile(const QString &path)
{
    // An unnamed document has nothing to reopen.
    if (path.isEmpty())
        return;
    QStringList files = MSettings::instance()->recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > m_maxRecentFiles)
        files.removeLast();
    MSettings::instance()->set_recentFiles(files);
    refresh();
}

void MRecentFiles::setMaxRecentFiles(int count)
{
    count = qMax(0, count);
    if (count == m_maxRecentFiles)
        return;
    deleteActions();
    m_maxRecentFiles = count;
    createActions();
    emit maxRecentFilesChanged(count);
}

void MRecentFiles::onActionTriggered()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString path = action->data().toString();
    // The file may have gone since the menu was filled.
    if (!path.isEmpty() && QFileInfo::exists(path))
        emit openRecentFile(path);
}
