#pragma once

#include "engines/common/Destination.h"
#include "engines/common/EngineReporter.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quarvo {

// What an extraction does once every entry's data is written, the same for every format: links are
// made last, so that no entry of the archive is ever written through one of them, and directories
// get their mode and time last, deepest first, because writing inside a directory changes its time
// and a read-only mode would stop the writing.
class DeferredEntries {
  public:
    struct Link {
        std::string shownName; // the entry's name as messages show it
        std::vector<std::string> components;
        // A symbolic link's target as stored; for a hard link, the target entry's name as shown.
        std::string target;
        // A hard link's target beneath the destination; empty for a symbolic link.
        std::vector<std::string> hardLinkTarget;
        std::string storedName; // the entry's name as stored, for the caller's own bookkeeping
        std::optional<struct timespec> modificationTime; // a symbolic link's own, when known
        bool isHardLink() const { return !hardLinkTarget.empty(); }
    };

    // A directory whose mode (nothing: as created) and modification time are set at the end.
    void addDirectory(std::string shownName, std::vector<std::string> components, std::optional<mode_t> mode,
                      const struct timespec& modificationTime);
    // A symbolic link to make at the end, if its target stays inside the destination.
    void addSymbolicLink(std::string shownName, std::vector<std::string> components, std::string target,
                         std::string storedName = {},
                         std::optional<struct timespec> modificationTime = std::nullopt);
    // A hard link to make at the end, to a file beneath the destination.
    void addHardLink(std::string shownName, std::vector<std::string> components,
                     std::vector<std::string> target, std::string shownTarget, std::string storedName = {});

    // Makes the symbolic links, then the hard links (which may name one of them), then restores the
    // directories. A symbolic link whose target leaves the destination is refused and named; every
    // failure is told through reporter and counted through failed with its EngineResult. made is
    // told of each link made. Stops making links once the reporter is stopped.
    void finish(Destination& destination, EngineReporter& reporter,
                const std::function<void(uint16_t)>& failed,
                const std::function<void(const Link&)>& made = {});

  private:
    struct Directory {
        std::string shownName;
        std::vector<std::string> components;
        std::optional<mode_t> mode;
        struct timespec modificationTime;
    };

    void makeLinks(Destination& destination, EngineReporter& reporter, bool hard,
                   const std::function<void(uint16_t)>& failed, const std::function<void(const Link&)>& made);
    void restoreDirectories(Destination& destination, EngineReporter& reporter,
                            const std::function<void(uint16_t)>& failed);

    std::vector<Link> m_links;
    std::vector<Directory> m_directories;
};

} // namespace quarvo
