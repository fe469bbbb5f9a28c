#include "support/FakeLauncher.h"

#include <algorithm>

namespace quarvo::testing {

bool FakeLauncher::started(const std::string& path) const
{
    return std::any_of(m_launches.begin(), m_launches.end(), [&path](const Launch& launch) {
        return launch.kind == Kind::Program && launch.path == path;
    });
}

LaunchAttempt FakeLauncher::record(Launch launch)
{
    launch.processId = launchStarted(launch.result) ? m_nextProcessId++ : 0;
    m_launches.push_back(launch);
    if (launchStarted(launch.result) && onLaunch)
        onLaunch(launch);
    return {launch.result, launch.processId};
}

LaunchAttempt FakeLauncher::openByAssociation(const std::string& file, const std::string& directory)
{
    return record({Kind::Association, file, {}, directory, associationResult(file), 0});
}

LaunchAttempt FakeLauncher::startProgram(const std::string& program,
                                         const std::vector<std::string>& arguments,
                                         const std::string& directory)
{
    return record({Kind::Program, program, arguments, directory, startResult(program), 0});
}

void FakeLauncher::watch(int64_t processId, const std::string& file)
{
    m_watched.emplace_back(processId, file);
}

bool FakeLauncher::activate(int64_t processId)
{
    m_activated.push_back(processId);
    return activateAnswer;
}

} // namespace quarvo::testing
