#include "msystemconfigdump.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <system_error>

MSystemConfigDump::MSystemConfigDump(QObject *parent)
    : QObject(parent)
{
    m_watch.setInterval(50);
    connect(&m_watch, &QTimer::timeout, this, [this]() {
        if (m_linesIn.load(std::memory_order_acquire))
            finish();
    });
}

MSystemConfigDump::~MSystemConfigDump()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_started && !m_logged)
        MOpenGL::logConfigLines(m_lines);
}

void MSystemConfigDump::start()
{
    if (m_started)
        return;
    m_started = true;
    // Surfaces belong to the GUI thread; contexts may be made on any thread
    // that uses them.
    if (QOpenGLContext::supportsThreadedOpenGL()) {
        m_cardSurface.reset(MOpenGL::createOffscreenSurface(MOpenGL::cardFormat()));
        m_requestedSurface.reset(MOpenGL::createOffscreenSurface(MOpenGL::requestedFormat()));
    }
    if (!m_cardSurface || !m_requestedSurface) {
        logNow();
        return;
    }
    try {
        m_thread = std::thread([this]() {
            m_lines = MOpenGL::systemConfigLines(m_cardSurface.get(), m_requestedSurface.get());
            m_linesIn.store(true, std::memory_order_release);
        });
    } catch (const std::system_error &) {
        // No thread to be had: the description is still owed to the log.
        m_cardSurface.reset();
        m_requestedSurface.reset();
        logNow();
        return;
    }
    // Looked for from here rather than posted from the thread: the hand-back
    // stays a join.
    m_watch.start();
}

void MSystemConfigDump::finish()
{
    if (!m_started) {
        m_started = true;
        logNow();
        return;
    }
    m_watch.stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_logged)
        return;
    m_cardSurface.reset();
    m_requestedSurface.reset();
    MOpenGL::logConfigLines(m_lines);
    m_logged = true;
    emit logged();
}

void MSystemConfigDump::logNow()
{
    MOpenGL::dumpSystemConfig();
    m_logged = true;
    emit logged();
}
