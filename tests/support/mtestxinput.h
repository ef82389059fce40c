#pragma once

#include <QList>
#include <QPoint>

struct _XDisplay;

// Real input made on the X server the test runs on, through the XTest
// extension (looked up at run time: the machine has the library but not its
// header), so that it reaches the program the way a keyboard's or a pen's
// does, queued on the way in while the program is busy.
class MTestXInput
{
public:
    MTestXInput();
    ~MTestXInput();
    MTestXInput(const MTestXInput &) = delete;
    MTestXInput &operator=(const MTestXInput &) = delete;

    // False without the extension or the display: the test skips.
    bool usable() const;
    // Presses the keys (X key symbols) in order and lets them go in reverse.
    void chord(const QList<unsigned long> &symbols);
    // The pointer to a point of the screen.
    void moveTo(const QPoint &screen);
    // The pointer's button (1: the first) down or up.
    void button(unsigned int number, bool down);
    // Returns once the server has taken every request sent so far.
    void sync();

private:
    using FakeKey = int (*)(_XDisplay *, unsigned int, int, unsigned long);
    using FakeMotion = int (*)(_XDisplay *, int, int, int, unsigned long);
    using FakeButton = int (*)(_XDisplay *, unsigned int, int, unsigned long);
    void *m_library = nullptr;
    FakeKey m_key = nullptr;
    FakeMotion m_motion = nullptr;
    FakeButton m_button = nullptr;
    _XDisplay *m_display = nullptr;
};
