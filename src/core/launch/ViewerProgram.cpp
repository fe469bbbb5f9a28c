#include "core/launch/ViewerProgram.h"

#include "core/base/TextCase.h"
#include "core/launch/FindOnPath.h"
#include "core/settings/AppSettings.h"

#include <filesystem>

namespace quarvo {

namespace {

// A program is a regular file (after following links) with at least one execute permission bit.
bool isProgram(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (error || !fs::is_regular_file(status))
        return false;
    constexpr fs::perms anyExecute = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return (status.permissions() & anyExecute) != fs::perms::none;
}

} // namespace

bool isDefaultViewerName(std::string_view name)
{
    return equalsIgnoringCase(name, SettingsDefaults::ViewerName);
}

std::string bundledViewerPath(std::string_view programDirectory)
{
    if (programDirectory.empty())
        return {};
    std::string path(programDirectory);
    if (path.back() != '/')
        path += '/';
    return path + std::string(ViewerProgram::BundledFileName);
}

std::optional<std::string> resolveViewerProgram(std::string_view name, std::string_view programDirectory)
{
    if (name.empty())
        return std::nullopt;
    if (isDefaultViewerName(name)) {
        std::string bundled = bundledViewerPath(programDirectory);
        if (bundled.empty() || !isProgram(bundled))
            return std::nullopt;
        return bundled;
    }
    if (name.find('/') == std::string_view::npos)
        return findOnPath(name, programDirectory);
    std::error_code error;
    if (std::filesystem::exists(name, error))
        return std::string(name);
    return std::nullopt;
}

} // namespace quarvo
