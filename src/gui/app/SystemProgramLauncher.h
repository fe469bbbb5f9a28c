#pragma once

#include "core/launch/ProgramLauncher.h"

#include <functional>
#include <memory>

namespace quarvo::gui {

class SystemLaunchServices;

// The launcher port of the core over the operating system's services: it checks the working
// directory, turns the system's failures into launch codes, and reports the end of a watched
// process to the handler set with setProcessEndedHandler. Without services nothing can be started:
// every request fails with "Could not launch the selected file." (association: none).
class SystemProgramLauncher : public ProgramLauncher {
  public:
    explicit SystemProgramLauncher(std::unique_ptr<SystemLaunchServices> services);
    ~SystemProgramLauncher() override;

    void setProcessEndedHandler(std::function<void(int64_t)> handler) { m_processEnded = std::move(handler); }

    LaunchAttempt openByAssociation(const std::string& file, const std::string& directory) override;
    LaunchAttempt startProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& directory) override;
    void watch(int64_t processId, const std::string& file) override;
    bool watchHandOff(int64_t processId, const std::string& file) override;
    bool activate(int64_t processId) override;

  private:
    std::unique_ptr<SystemLaunchServices> m_services;
    std::function<void(int64_t)> m_processEnded;
};

} // namespace quarvo::gui
