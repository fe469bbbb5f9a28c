#pragma once

#include "core/engine/CompressionEngines.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quarvo::testing {

// The engines of the command tests: they record each block they were handed (with copies of the
// texts it pointed to, which die with the session) and answer from a queue of results, 0 once the
// queue is empty. An action, when set, runs during the call instead, so a test can call the
// callbacks or change the archive file the way the real engine would.
class FakeEngine : public CompressionEngines {
  public:
    // A text the block pointed to; nothing for a null pointer.
    using Text = std::optional<std::string>;

    struct ZipCall {
        ZipCommand block;
        Text archivePath;
        Text itemSpecification;
        Text temporaryDirectory;
        Text comment;
        Text date;
        Text includeList;
        Text excludeList;
        Text password;
        std::string workingDirectory;
    };

    struct UnzipCall {
        UnzipCommand block;
        Text archivePath;
        Text itemSpecification;
        Text destinationDirectory;
        Text password;
        std::string workingDirectory;
    };

    void queueZipResult(uint16_t result) { m_zipResults.push_back(result); }
    void queueUnzipResult(uint16_t result) { m_unzipResults.push_back(result); }
    void setZipAction(std::function<uint16_t(ZipCommand&)> action) { m_zipAction = std::move(action); }
    void setUnzipAction(std::function<uint16_t(UnzipCommand&)> action) { m_unzipAction = std::move(action); }

    const std::vector<ZipCall>& zipCalls() const { return m_zipCalls; }
    const std::vector<UnzipCall>& unzipCalls() const { return m_unzipCalls; }

    uint16_t runDzip(ZipCommand& command) override;
    uint16_t runDunzip(UnzipCommand& command) override;

  private:
    std::deque<uint16_t> m_zipResults;
    std::deque<uint16_t> m_unzipResults;
    std::function<uint16_t(ZipCommand&)> m_zipAction;
    std::function<uint16_t(UnzipCommand&)> m_unzipAction;
    std::vector<ZipCall> m_zipCalls;
    std::vector<UnzipCall> m_unzipCalls;
};

} // namespace quarvo::testing
