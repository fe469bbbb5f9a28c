#include "engines/common/DeferredEntries.h"

#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/common/EntryPath.h"

#include <algorithm>

namespace quarvo {

void DeferredEntries::addDirectory(std::string shownName, std::vector<std::string> components,
                                   std::optional<mode_t> mode, const struct timespec& modificationTime)
{
    m_directories.push_back({std::move(shownName), std::move(components), mode, modificationTime});
}

void DeferredEntries::addSymbolicLink(std::string shownName, std::vector<std::string> components,
                                      std::string target, std::string storedName,
                                      std::optional<struct timespec> modificationTime)
{
    m_links.push_back({std::move(shownName), std::move(components), std::move(target), {}, std::move(storedName),
                       modificationTime});
}

void DeferredEntries::addHardLink(std::string shownName, std::vector<std::string> components,
                                  std::vector<std::string> target, std::string shownTarget,
                                  std::string storedName)
{
    m_links.push_back({std::move(shownName), std::move(components), std::move(shownTarget), std::move(target),
                       std::move(storedName), std::nullopt});
}

void DeferredEntries::finish(Destination& destination, EngineReporter& reporter,
                             const std::function<void(uint16_t)>& failed,
                             const std::function<void(const Link&)>& made)
{
    makeLinks(destination, reporter, false, failed, made);
    makeLinks(destination, reporter, true, failed, made);
    restoreDirectories(destination, reporter, failed);
}

void DeferredEntries::makeLinks(Destination& destination, EngineReporter& reporter, bool hard,
                                const std::function<void(uint16_t)>& failed,
                                const std::function<void(const Link&)>& made)
{
    for (const Link& link : m_links) {
        if (reporter.stopped())
            return;
        if (link.isHardLink() != hard)
            continue;
        if (!hard && !linkTargetStaysInside(link.components, link.target)) {
            reporter.message("Skipped link " + link.shownName + " -> " +
                             escapeControlCharacters(link.target) +
                             ": it points outside the destination directory.");
            failed(EngineResult::EntriesSkipped);
            continue;
        }
        Result<Ok> result = hard ? destination.makeHardLink(link.components, link.hardLinkTarget)
                                 : destination.makeLink(link.components, link.target, link.modificationTime);
        if (!result) {
            reporter.message("Cannot create the link " + link.shownName + ": " + result.error().message +
                             ".");
            failed(EngineResult::CannotCreate);
        } else if (made) {
            made(link);
        }
    }
}

void DeferredEntries::restoreDirectories(Destination& destination, EngineReporter& reporter,
                                         const std::function<void(uint16_t)>& failed)
{
    // Deepest first: a parent's time changes when a child is touched, and a read-only parent would
    // stop the child's own change.
    std::stable_sort(m_directories.begin(), m_directories.end(), [](const Directory& a, const Directory& b) {
        return a.components.size() > b.components.size();
    });
    for (const Directory& directory : m_directories) {
        Result<Ok> restored =
            destination.restoreDirectory(directory.components, directory.mode, directory.modificationTime);
        if (!restored) {
            reporter.message("Cannot set the mode and time of the directory " + directory.shownName + ": " +
                             restored.error().message + ".");
            failed(EngineResult::CannotCreate);
        }
    }
}

} // namespace quarvo
