#pragma once

#include "msingleton.h"

#include <QApplication>

class MHandedFiles;
class MMainWindow;
class MSingleInstance;
class QSplashScreen;

// The application object of one run: shows the splash screen, creates every
// process-wide object in a fixed order and deletes them again at cleanup.
class MApplication : public QApplication, public MSingleton<MApplication>
{
    Q_OBJECT
public:
    static constexpr int RestartExitCode = -123456789;

    MApplication(int &argc, char **argv);
    ~MApplication() override;

    static MApplication *instance() { return existingInstance(); }

    // The whole life of the process: runs start-up, the event loop and
    // teardown again for as long as the loop ends with the restart code.
    static int runMain(int &argc, char **argv);

    bool init(MSingleInstance *guard);
    void cleanup();
    void loadTranslation(const QString &prefix);

    MMainWindow *mainWindow() const { return m_mainWindow; }
    QSplashScreen *splash() const { return m_splash; }

protected:
    bool event(QEvent *e) override;

private slots:
    void raiseWindow();
    void openHandedFile(const QStringList &lines);

private:
    void showSplashMessage(const QString &message);

    QSplashScreen *m_splash = nullptr;
    MMainWindow *m_mainWindow = nullptr;
    MHandedFiles *m_handedFiles = nullptr; // the main window's child
    QString m_pendingHandedFile;          // handed over before the window existed
};
