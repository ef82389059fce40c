#include "mtestxinput.h"

#include <dlfcn.h>

// Last: the X headers define names the framework's headers use.
#include <X11/Xlib.h>

MTestXInput::MTestXInput()
{
    m_library = dlopen("libXtst.so.6", RTLD_NOW);
    if (m_library) {
        m_key = reinterpret_cast<FakeKey>(dlsym(m_library, "XTestFakeKeyEvent"));
        m_motion = reinterpret_cast<FakeMotion>(dlsym(m_library, "XTestFakeMotionEvent"));
        m_button = reinterpret_cast<FakeButton>(dlsym(m_library, "XTestFakeButtonEvent"));
    }
    m_display = XOpenDisplay(nullptr);
}

MTestXInput::~MTestXInput()
{
    if (m_display)
        XCloseDisplay(m_display);
    if (m_library)
        dlclose(m_library);
}

bool MTestXInput::usable() const
{
    return m_key && m_motion && m_button && m_display;
}

void MTestXInput::chord(const QList<unsigned long> &symbols)
{
    for (unsigned long symbol : symbols)
        m_key(m_display, XKeysymToKeycode(m_display, symbol), True, 0);
    for (int i = symbols.size() - 1; i >= 0; --i)
        m_key(m_display, XKeysymToKeycode(m_display, symbols.at(i)), False, 0);
    XFlush(m_display);
}

void MTestXInput::moveTo(const QPoint &screen)
{
    m_motion(m_display, -1, screen.x(), screen.y(), 0);
    XFlush(m_display);
}

void MTestXInput::button(unsigned int number, bool down)
{
    m_button(m_display, number, down ? True : False, 0);
    XFlush(m_display);
}

void MTestXInput::sync()
{
    XSync(m_display, False);
}
