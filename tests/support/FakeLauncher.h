#pragma once

#include "core/launch/ProgramLauncher.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarvo::testing {

// The launcher of the core's tests: it starts nothing, records every request and answers from its
// settings. A started "process" gets the next id from 100 up; onLaunch runs for each successful
// launch, so a test can change the file the way a program would.
class FakeLauncher : public ProgramLauncher {
  public:
    enum class Kind { Association, Program };
    struct Launch {
        Kind kind;
        std::string path; // the file opened by association, or the program started
        std::vector<std::string> arguments;
        std::string directory;
        int result;
        int64_t processId;
    };

    // The answer to an association request for a file; NoAssociation unless set.
    std::function<int(const std::string& file)> associationResult = [](const std::string&) {
        return LaunchCode::NoAssociation;
    };
    // The answer to a program start; Started unless set.
    std::function<int(const std::string& program)> startResult = [](const std::string&) {
        return LaunchCode::Started;
    };
    bool activateAnswer = true;
    // Whether a process that ended with its copy unchanged is taken to have handed the file over.
    bool handOffAnswer = false;
    std::function<void(const Launch&)> onLaunch;

    const std::vector<Launch>& launches() const { return m_launches; }
    // Every process handed over for watching, with the file it was given.
    const std::vector<std::pair<int64_t, std::string>>& watched() const { return m_watched; }
    const std::vector<int64_t>& activated() const { return m_activated; }
    // Whether any launch started path as a program.
    bool started(const std::string& path) const;

    LaunchAttempt openByAssociation(const std::string& file, const std::string& directory) override;
    LaunchAttempt startProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& directory) override;
    void watch(int64_t processId, const std::string& file) override;
    bool watchHandOff(int64_t processId, const std::string& file) override
    {
        m_handOffs.emplace_back(processId, file);
        return handOffAnswer;
    }
    // Every hand-off watch asked for, with its file.
    const std::vector<std::pair<int64_t, std::string>>& handOffs() const { return m_handOffs; }
    bool activate(int64_t processId) override;

  private:
    LaunchAttempt record(Launch launch);

    std::vector<Launch> m_launches;
    std::vector<std::pair<int64_t, std::string>> m_watched;
    std::vector<int64_t> m_activated;
    std::vector<std::pair<int64_t, std::string>> m_handOffs;
    int64_t m_nextProcessId = 100;
};

} // namespace quarvo::testing
