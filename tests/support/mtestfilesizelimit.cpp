#include "mtestfilesizelimit.h"

#include <csignal>

MTestFileSizeLimit::MTestFileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = m_old;
    lowered.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
}

MTestFileSizeLimit::~MTestFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}
