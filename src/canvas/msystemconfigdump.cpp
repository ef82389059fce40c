#include "msystemconfigdump.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

MSystemConfigDump::MSystemConfigDump(QObject *parent)
    : QObject(parent)
{
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
    m_thread = std::thread([this]() {
        m_lines = MOpenGL::systemConfigLines(m_cardSurface.get(), m_requestedSurface.get());
        // Dropped with this object when it went first: its destructor logged.
        QMetaObject::invokeMethod(this, &MSystemConfigDump::finish, Qt::QueuedConnection);
    });
}

void MSystemConfigDump::finish()
{
    if (!m_started) {
        m_started = true;
        logNow();
        return;
    }
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
