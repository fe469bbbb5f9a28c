#pragma once

#include "gui/launch/StartedProcess.h"

#include <QObject>
#include <QTimer>

#include <map>

class QSocketNotifier;

namespace quarvo::gui {

// Waits, on the thread that owns it (the GUI thread), for started programs to end, several at once,
// and reaps each so that none is left a zombie. Each process is watched through a pidfd with a
// QSocketNotifier: the event loop wakes when the process ends, with no thread per process and no
// polling. Where the kernel has no pidfds (before Linux 5.3) the watcher falls back to asking every
// 250 ms with waitid(WNOHANG), one timer for all such processes; SIGCHLD is left alone either way,
// because a handler for it would take the children that other parts of the program wait for.
class ProcessWatcher : public QObject {
    Q_OBJECT

  public:
    // How processes are watched. Polling is the fallback, selectable so that it can be tested on a
    // kernel that has pidfds.
    enum class Method { PidFdWherePossible, Polling };

    // processEnded's exit status when the process was reaped by somebody else (waitid: ECHILD).
    static constexpr int UnknownExitStatus = -1;
    static constexpr int PollingIntervalMilliseconds = 250;

    explicit ProcessWatcher(QObject* parent = nullptr, Method method = Method::PidFdWherePossible);
    ~ProcessWatcher() override;

    // Starts watching a child of this process. Returns false when it is watched already. A pid that
    // is not (or no longer) a child of ours is reported ended, with UnknownExitStatus.
    bool watch(pid_t pid);
    // The same for a started program, adopting its pidfd.
    bool watch(StartedProcess process);

    bool isWatching(pid_t pid) const { return m_watched.count(pid) != 0; }

  signals:
    // The process pid has ended and been reaped. exitStatus is its exit code, or 128 plus the
    // number of the signal that ended it (as shells report it), or UnknownExitStatus.
    void processEnded(qint64 pid, int exitStatus);

  private:
    struct Watched {
        UniqueFd pidfd;
        QSocketNotifier* notifier = nullptr; // null while polled
    };

    void reapIfEnded(pid_t pid);
    void pollAll();
    void forget(pid_t pid);

    Method m_method;
    std::map<pid_t, Watched> m_watched;
    QTimer m_pollTimer;
};

} // namespace quarvo::gui
