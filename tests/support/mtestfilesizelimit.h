#pragma once

#include <sys/resource.h>

// A full disk for the files this process writes while the object lives: no
// file may grow past the given size (writes past it fail instead of raising
// a signal).
class MTestFileSizeLimit
{
public:
    explicit MTestFileSizeLimit(rlim_t bytes);
    ~MTestFileSizeLimit();
    MTestFileSizeLimit(const MTestFileSizeLimit &) = delete;
    MTestFileSizeLimit &operator=(const MTestFileSizeLimit &) = delete;

    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
    bool m_active = false;
};
