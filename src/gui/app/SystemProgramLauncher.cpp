#include "gui/app/SystemProgramLauncher.h"

#include "gui/launch/SystemLaunchServices.h"

#include <sys/stat.h>

namespace quarvo::gui {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

SystemProgramLauncher::SystemProgramLauncher(std::unique_ptr<SystemLaunchServices> services)
    : m_services(std::move(services))
{
}

SystemProgramLauncher::~SystemProgramLauncher() = default;

LaunchAttempt SystemProgramLauncher::openByAssociation(const std::string& file, const std::string& directory)
{
    if (!m_services)
        return {LaunchCode::NoAssociation, 0};
    if (!isDirectory(directory))
        return {LaunchCode::PathNotFound, 0};
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return {LaunchCode::FileNotFound, 0};
    return m_services->startAssociatedProgram(file, directory);
}

LaunchAttempt SystemProgramLauncher::startProgram(const std::string& program,
                                                  const std::vector<std::string>& arguments,
                                                  const std::string& directory)
{
    if (!m_services)
        return {LaunchCode::CouldNotLaunch, 0};
    // The child would fail to enter it with a code that reads like a missing program.
    if (!isDirectory(directory))
        return {LaunchCode::PathNotFound, 0};
    return m_services->startProcess(program, arguments, directory);
}

void SystemProgramLauncher::watch(int64_t processId, const std::string& file)
{
    if (!m_services)
        return;
    m_services->watchProcess(processId, file, [this, processId] {
        if (m_processEnded)
            m_processEnded(processId);
    });
}

bool SystemProgramLauncher::watchHandOff(int64_t processId, const std::string& file)
{
    return m_services && m_services->watchHandOff(processId, file);
}

bool SystemProgramLauncher::activate(int64_t processId)
{
    return m_services && m_services->activateProcessWindow(processId);
}

} // namespace quarvo::gui
