#pragma once

#include <sys/resource.h>

// A full disk for the files this process writes: lowers the process's file
// size limit while it lives, so that writing past it fails (EFBIG) instead of
// raising a signal.
class MTestFileSizeLimit
{
public:
    explicit MTestFileSizeLimit(rlim_t bytes);
    ~MTestFileSizeLimit();

    bool isActive() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};
