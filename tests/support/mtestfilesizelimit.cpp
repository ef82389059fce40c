#include "mtestfilesizelimit.h"

#include <csignal>

MTestFileSizeLimit::MTestFileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

MTestFileSizeLimit::~MTestFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}
