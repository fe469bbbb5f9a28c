#include "gui/launch/ProcessWatcher.h"

#include "gui/launch/PidFd.h"

#include <QSocketNotifier>

#include <cerrno>
#include <optional>
#include <sys/wait.h>
#include <vector>

namespace quarvo::gui {

namespace {

int exitStatusOf(const siginfo_t& information)
{
    if (information.si_code == CLD_EXITED)
        return information.si_status;
    return 128 + information.si_status; // CLD_KILLED or CLD_DUMPED: si_status is the signal
}

// The exit status of pid once it has ended, reaping it; nullopt while it runs. Never blocks.
std::optional<int> exitStatusIfEnded(pid_t pid)
{
    siginfo_t information{};
    int result;
    do
        result = ::waitid(P_PID, id_t(pid), &information, WEXITED | WNOHANG);
    while (result != 0 && errno == EINTR);
    if (result != 0)
        return ProcessWatcher::UnknownExitStatus; // ECHILD: not ours, or reaped elsewhere
    if (information.si_pid == 0)
        return std::nullopt;
    return exitStatusOf(information);
}

} // namespace

ProcessWatcher::ProcessWatcher(QObject* parent, Method method) : QObject(parent), m_method(method)
{
    m_pollTimer.setInterval(PollingIntervalMilliseconds);
    connect(&m_pollTimer, &QTimer::timeout, this, &ProcessWatcher::pollAll);
}

ProcessWatcher::~ProcessWatcher()
{
    // The notifiers go before the descriptors they listen on. The processes are left running.
    for (auto& [pid, watched] : m_watched)
        delete watched.notifier;
}

bool ProcessWatcher::watch(pid_t pid)
{
    if (isWatching(pid))
        return false;
    return watch(StartedProcess{pid, m_method == Method::Polling ? UniqueFd() : openPidFd(pid)});
}

bool ProcessWatcher::watch(StartedProcess process)
{
    pid_t pid = process.pid;
    if (pid <= 0 || isWatching(pid))
        return false;
    Watched& watched = m_watched[pid];
    if (m_method == Method::PidFdWherePossible)
        watched.pidfd = std::move(process.pidfd);
    if (watched.pidfd) {
        watched.notifier = new QSocketNotifier(watched.pidfd.get(), QSocketNotifier::Read, this);
        connect(watched.notifier, &QSocketNotifier::activated, this, [this, pid] { reapIfEnded(pid); });
    } else {
        m_pollTimer.start();
    }
    // A process that has ended already is noticed from the event loop too (its pidfd is readable at
    // once), so processEnded never arrives before watch() has returned.
    return true;
}

void ProcessWatcher::reapIfEnded(pid_t pid)
{
    std::optional<int> exitStatus = exitStatusIfEnded(pid);
    if (!exitStatus)
        return;
    forget(pid);
    emit processEnded(pid, *exitStatus);
}

void ProcessWatcher::pollAll()
{
    std::vector<pid_t> polled;
    for (const auto& [pid, watched] : m_watched)
        if (!watched.notifier)
            polled.push_back(pid);
    for (pid_t pid : polled)
        reapIfEnded(pid);
}

void ProcessWatcher::forget(pid_t pid)
{
    auto found = m_watched.find(pid);
    if (found == m_watched.end())
        return;
    if (QSocketNotifier* notifier = found->second.notifier) {
        // It may be the notifier whose signal is being delivered right now. Disabled, it no longer
        // looks at its descriptor, which closes with the entry.
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_watched.erase(found);
    bool anyPolled = false;
    for (const auto& [otherPid, watched] : m_watched)
        anyPolled = anyPolled || !watched.notifier;
    if (!anyPolled)
        m_pollTimer.stop();
}

} // namespace quarvo::gui
