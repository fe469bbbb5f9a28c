#pragma once

#include "gui/launch/HandOffWatch.h"
#include "gui/launch/ProcessWatcher.h"
#include "gui/launch/SystemLaunchServices.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>

namespace quarvo::gui {

// The program's system side of launching, on the Linux desktop: GIO finds and starts the program
// associated with a file, programs start without a shell in a session of their own, a pidfd tells
// when one ends, and the window manager brings a program's window forward.
//
// Many programs hand the file to an instance of theirs that already runs and end at once. A program
// that ended within HandOffWindow of its start is remembered, so that when its copy turns out
// unchanged (watchHandOff) the copy is watched and its change reported as the end instead. An
// application the desktop started over D-Bus leaves no process of ours at all: it gets an id of its
// own below zero and counts as ended at once.
class DesktopLaunchServices : public QObject, public SystemLaunchServices {
    Q_OBJECT
  public:
    explicit DesktopLaunchServices(QObject* parent = nullptr);
    ~DesktopLaunchServices() override;

    LaunchAttempt startAssociatedProgram(const std::string& file, const std::string& directory) override;
    LaunchAttempt startProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& directory) override;
    void watchProcess(int64_t processId, const std::string& file, std::function<void()> onEnd) override;
    bool watchHandOff(int64_t processId, const std::string& file) override;
    bool activateProcessWindow(int64_t processId) override;

  private:
    struct Watched {
        QString file;
        QElapsedTimer running;
        std::function<void()> onEnd;
        bool ended = false;
    };

    LaunchAttempt adopt(StartResult started);
    void onProcessEnded(int64_t processId);
    void onFileChanged(const QString& file);
    void forgetEndedWhoseFileIsGone();

    ProcessWatcher m_processes;
    HandOffWatch m_handOffs;
    // Started processes not yet watched, holding their pidfds.
    std::map<int64_t, StartedProcess> m_started;
    // Processes being watched, and those that ended soon enough to have handed their file over.
    std::map<int64_t, Watched> m_watched;
    int64_t m_nextHandOffId = -1;
};

} // namespace quarvo::gui
