#pragma once

#include "gui/app/SystemLaunchServices.h"

#include <QObject>

#include <map>
#include <string>

namespace quarvo::testing {

// The system side of launching for the GUI tests only, not the program's: processes start with
// QProcess::startDetached (argument vector, working directory of their own) and their end is noticed
// by polling whether the process still exists (a finished one left unreaped by the reaper of the
// detached process counts as ended). No file type has an associated program unless the test names
// one for an extension, and no process has a window unless the test says so.
class TestLaunchServices : public QObject, public gui::SystemLaunchServices {
    Q_OBJECT
  public:
    // The program that opens files of extension (without its dot), as the desktop's association would.
    void associate(const std::string& extension, const std::string& program)
    {
        m_associations[extension] = program;
    }
    void setWindowsFound(bool found) { m_windowsFound = found; }

    LaunchAttempt startAssociatedProgram(const std::string& file, const std::string& directory) override;
    Started startProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& directory) override;
    void watchProcess(int64_t processId, const std::string& file, std::function<void()> onEnd) override;
    bool activateProcessWindow(int64_t processId) override;

  private:
    std::map<std::string, std::string> m_associations;
    bool m_windowsFound = false;
};

} // namespace quarvo::testing
