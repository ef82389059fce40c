#pragma once

#include <QMainWindow>

#include <functional>

class QAction;

// The main window. For now it holds the window frame, the restart command and
// the opening of the file named on the command line.
class MMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MMainWindow(QWidget *parent = nullptr);
    ~MMainWindow() override;

    // Called once, from the event loop, after the window was first shown.
    // Tests drive a whole run of the application through it.
    using ShownHook = std::function<void(MMainWindow *)>;
    static void setShownHook(const ShownHook &hook);

    QString openedFile() const { return m_openedFile; }

public slots:
    void restart();
    bool openFile(const QString &fileName);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    static ShownHook &shownHook();
    void callShownHook(int delayMs = 0);
    void openStartupFile();

    QAction *m_restartAction = nullptr;
    bool m_firstResizeDone = false;
    bool m_shownHookCalled = false;
    QString m_openedFile;
};
