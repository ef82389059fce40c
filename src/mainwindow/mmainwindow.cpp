#include "mmainwindow.h"

#include "mapplication.h"
#include "mopengl.h"
#include "msettings.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QResizeEvent>
#include <QThread>
#include <QTimer>

MMainWindow::MMainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MMainWindow"));
    setWindowTitle(QStringLiteral("KalmiDraw"));
    resize(1280, 800);

    auto *central = new QLabel(this);
    central->setAlignment(Qt::AlignCenter);
    setCentralWidget(central);

    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    m_restartAction = fileMenu->addAction(tr("Restart"), this, &MMainWindow::restart);
    m_restartAction->setObjectName(QStringLiteral("actionRestart"));
    QAction *quitAction = fileMenu->addAction(tr("Quit"), this, &QWidget::close);
    quitAction->setObjectName(QStringLiteral("actionQuit"));
    quitAction->setShortcut(QKeySequence::Quit);

    MSettings::instance()->loadShortcuts(this);
    MOpenGL::dumpSystemConfig();
}

MMainWindow::~MMainWindow() = default;

MMainWindow::ShownHook &MMainWindow::shownHook()
{
    static ShownHook hook;
    return hook;
}

void MMainWindow::setShownHook(const ShownHook &hook)
{
    shownHook() = hook;
}

void MMainWindow::restart()
{
    QCoreApplication::exit(MApplication::RestartExitCode);
}

bool MMainWindow::openFile(const QString &fileName)
{
    if (!QFile::exists(fileName))
        return false;
    m_openedFile = fileName;
    return true;
}

void MMainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window manager resizes a window it shows; without one no resize comes.
    QTimer::singleShot(0, this, &MMainWindow::openStartupFile);
    if (!m_shownHookCalled && shownHook()) {
        m_shownHookCalled = true;
        callShownHook();
    }
}

void MMainWindow::callShownHook(int delayMs)
{
    // The splash screen processes events while it waits for this window: wait
    // for the application's own event loop, or an exit() would be lost. The
    // retry is not immediate, so the splash screen's wait is not kept busy.
    QTimer::singleShot(delayMs, this, [this]() {
        if (QThread::currentThread()->loopLevel() == 0)
            callShownHook(5);
        else if (shownHook())
            shownHook()(this);
    });
}

void MMainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible())
        openStartupFile();
}

void MMainWindow::openStartupFile()
{
    if (m_firstResizeDone)
        return;
    m_firstResizeDone = true;
    const QString startupFile = MSettings::instance()->startupFile();
    if (startupFile.isEmpty())
        return;
    MSettings::instance()->set_startupFile(QString());
    if (QFile::exists(startupFile))
        openFile(startupFile);
}
