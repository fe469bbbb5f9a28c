#include "core/documents/EntryDrag.h"

#include "core/dialogs/DroppedFiles.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/ItemDirectory.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipEntry.h"
#include "engines/api/EngineResult.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace quarvo {

namespace {

// The entry's place below directory, or nothing when its name would lead elsewhere (an absolute
// name, ".." components): the engine never writes there, and nothing outside is ever offered.
std::optional<std::string> placeOf(const std::string& name, const std::string& directory)
{
    std::string relative = name;
    while (relative.ends_with('/'))
        relative.pop_back();
    const std::filesystem::path normal = std::filesystem::path(relative).lexically_normal();
    if (relative.empty() || normal.is_absolute() || normal.empty() || *normal.begin() == "..")
        return std::nullopt;
    return (std::filesystem::path(directory) / normal).string();
}

bool isInsideDraggedDirectory(const std::string& name, const std::vector<const ZipEntry*>& entries)
{
    return std::any_of(entries.begin(), entries.end(), [&](const ZipEntry* other) {
        return other->name.ends_with('/') && other->name != name && name.starts_with(other->name);
    });
}

} // namespace

std::optional<std::string> dragSpecificationOf(const std::vector<std::string>& names, std::string* rejected)
{
    std::string specification;
    auto add = [&](const std::string& item) {
        specification += (specification.empty() ? "\"" : " \"") + item + "\"";
    };
    for (const std::string& name : names) {
        if (name.find('"') != std::string::npos) {
            if (rejected)
                *rejected = name;
            return std::nullopt;
        }
        add(name);
        if (name.ends_with('/'))
            add(name + "*");
    }
    return specification;
}

bool extractDraggedEntries(UserInterface& ui, const std::vector<std::string>& names,
                           const DraggedEntriesExtraction& extract)
{
    std::string rejected;
    std::optional<std::string> specification = dragSpecificationOf(names, &rejected);
    if (!specification) {
        ui.showMessage({quotedNameMessage(rejected), MessageButtons::Ok, MessageIcon::Warning, 0, {}});
        return false;
    }
    return extract(*specification) == EngineResult::Ok;
}

std::vector<std::string> draggedPaths(const std::vector<const ZipEntry*>& entries,
                                      const std::string& directory)
{
    std::vector<std::string> paths;
    for (const ZipEntry* entry : entries) {
        if (isInsideDraggedDirectory(entry->name, entries))
            continue;
        std::optional<std::string> place = placeOf(entry->name, directory);
        struct stat status {};
        if (!place || ::lstat(place->c_str(), &status) != 0)
            continue;
        if (std::find(paths.begin(), paths.end(), *place) == paths.end())
            paths.push_back(*place);
    }
    return paths;
}

Result<std::vector<std::string>> dragOutEntries(ArchiveEntrySource& archive,
                                                const std::vector<const ZipEntry*>& entries,
                                                const std::string& scratchDirectory)
{
    Result<std::string> directory = makeItemDirectory(scratchDirectory);
    if (!directory)
        return directory.error();
    std::vector<std::string> names;
    for (const ZipEntry* entry : entries)
        names.push_back(entry->name);
    std::vector<std::string> paths;
    if (archive.extractEntriesForDrag(names, directory.value()))
        paths = draggedPaths(entries, directory.value());
    if (paths.empty()) {
        removeItemDirectory(directory.value(), scratchDirectory);
        return Error{"nothing was extracted"};
    }
    return paths;
}

} // namespace quarvo
