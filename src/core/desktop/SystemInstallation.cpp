#include "core/desktop/SystemInstallation.h"

#include "core/desktop/DesktopEntry.h"
#include "core/layout/InstallLayout.h"

#include <filesystem>

namespace quarvo {

namespace {

// The directory with links and "..", "." resolved, so two spellings of one place compare equal.
std::filesystem::path resolved(const std::filesystem::path& directory)
{
    std::error_code error;
    std::filesystem::path real = std::filesystem::weakly_canonical(directory, error);
    return error ? directory.lexically_normal() : real;
}

} // namespace

bool installedForAllUsers(const DesktopDirectories& directories, std::string_view programPath)
{
    std::filesystem::path program(programPath);
    if (!program.is_absolute())
        return false;
    std::filesystem::path ownData = resolved(program.parent_path() / InstallLayout::dataDirectory());
    std::error_code error;
    if (!std::filesystem::is_regular_file(ownData / "applications" / DesktopEntryId, error))
        return false;
    for (const std::string& systemData : directories.systemData) {
        if (resolved(systemData) == ownData)
            return true;
    }
    return false;
}

} // namespace quarvo
