#pragma once

#include <csignal>
#include <sys/resource.h>

namespace quarvo::testing {

// Makes every write of file contents fail with EFBIG while it lives, by lowering the file-size limit
// of the process to 0. Unlike a read-only directory this also stops root, which the kernel lets write
// anywhere, so the failure path runs whoever runs the tests.
class ScopedFileSizeLimit {
  public:
    ScopedFileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace quarvo::testing
