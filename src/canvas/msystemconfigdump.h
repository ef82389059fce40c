#pragma once

#include "mopengl.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

class QOffscreenSurface;

// The system description, asked of the driver on a thread of its own: the
// two contexts it makes cost a software driver a good part of a frame each,
// which the window must not wait for. The lines are logged on the GUI thread
// in one piece once they are in, or when the dump is finished early.
class MSystemConfigDump : public QObject
{
    Q_OBJECT
public:
    explicit MSystemConfigDump(QObject *parent = nullptr);
    ~MSystemConfigDump() override;

    // Where the driver cannot make contexts on other threads, logs at once.
    void start();
    // Waits for the lines and logs them; logs at once when never started.
    // Going without it still logs what was asked, but signals nothing.
    void finish();
    bool isLogged() const { return m_logged; }

signals:
    void logged();

private:
    void logNow();

    std::unique_ptr<QOffscreenSurface> m_cardSurface;
    std::unique_ptr<QOffscreenSurface> m_requestedSurface;
    std::thread m_thread;
    MOpenGL::ConfigLines m_lines;
    std::atomic<bool> m_linesIn{false};
    QTimer m_watch;
    bool m_started = false;
    bool m_logged = false;
};
