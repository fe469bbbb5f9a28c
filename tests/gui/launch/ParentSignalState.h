#pragma once

#include <csignal>
#include <pthread.h>

namespace quarvo::testing {

// While it lives, this process ignores SIGINT and blocks SIGUSR1, as a program started from a shell
// script or a terminal multiplexer may; a child started meanwhile must not inherit either.
class ParentSignalState {
  public:
    ParentSignalState()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGINT, &ignore, &m_previousInterrupt);
        sigset_t userSignal;
        sigemptyset(&userSignal);
        sigaddset(&userSignal, SIGUSR1);
        ::pthread_sigmask(SIG_BLOCK, &userSignal, &m_previousMask);
    }
    ~ParentSignalState()
    {
        ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
        ::sigaction(SIGINT, &m_previousInterrupt, nullptr);
    }
    ParentSignalState(const ParentSignalState&) = delete;
    ParentSignalState& operator=(const ParentSignalState&) = delete;

  private:
    struct sigaction m_previousInterrupt {};
    sigset_t m_previousMask{};
};

} // namespace quarvo::testing
