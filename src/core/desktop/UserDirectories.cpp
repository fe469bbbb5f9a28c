#include "core/desktop/UserDirectories.h"

#include "core/desktop/FileUpdate.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr std::string_view TemplatesKey = "XDG_TEMPLATES_DIR=";
constexpr std::string_view HomePrefix = "$HOME";

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// An absolute directory from the environment; the base directory rules ignore a relative one.
std::string baseDirectory(const char* variable, const std::string& home, std::string_view fallback)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/')
        return withoutTrailingSlashes(value);
    return home + std::string(fallback);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<std::string> systemDataDirectories(std::string_view setting)
{
    std::vector<std::string> directories;
    while (!setting.empty()) {
        size_t end = setting.find(':');
        std::string_view entry = setting.substr(0, end);
        setting = end == std::string_view::npos ? std::string_view{} : setting.substr(end + 1);
        // Relative entries are invalid by the base directory rules and ignored.
        if (entry.starts_with('/'))
            directories.push_back(withoutTrailingSlashes(std::string(entry)));
    }
    if (directories.empty())
        directories = {"/usr/local/share", "/usr/share"};
    return directories;
}

std::optional<std::string> templatesDirectorySetting(std::string_view userDirsText, std::string_view home)
{
    std::optional<std::string> setting;
    while (!userDirsText.empty()) {
        size_t end = userDirsText.find('\n');
        std::string_view line = trimmed(userDirsText.substr(0, end));
        userDirsText = end == std::string_view::npos ? std::string_view{} : userDirsText.substr(end + 1);
        if (!line.starts_with(TemplatesKey))
            continue;
        std::string_view value = line.substr(TemplatesKey.size());
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.substr(1, value.size() - 2);
        // The last assignment wins, as when the shell sources the file.
        if (value.starts_with(HomePrefix) &&
            (value.size() == HomePrefix.size() || value[HomePrefix.size()] == '/'))
            setting = withoutTrailingSlashes(std::string(home) + std::string(value.substr(HomePrefix.size())));
        else if (value.starts_with('/'))
            setting = withoutTrailingSlashes(std::string(value));
    }
    return setting;
}

std::optional<std::string> usableTemplatesDirectory(const std::optional<std::string>& configured,
                                                    std::string_view home)
{
    if (!configured)
        return std::nullopt;
    std::error_code error;
    if (!std::filesystem::is_directory(*configured, error))
        return std::nullopt;
    if (std::filesystem::equivalent(*configured, std::filesystem::path(home), error))
        return std::nullopt;
    return configured;
}

DesktopDirectories desktopDirectoriesFromEnvironment()
{
    DesktopDirectories directories;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        // A start without HOME (a system service, a cron job) still knows the user's home.
        const passwd* account = ::getpwuid(::getuid());
        home = account != nullptr ? account->pw_dir : nullptr;
    }
    directories.home = withoutTrailingSlashes(home != nullptr && home[0] == '/' ? home : "");
    directories.dataHome = baseDirectory("XDG_DATA_HOME", directories.home, "/.local/share");
    directories.configHome = baseDirectory("XDG_CONFIG_HOME", directories.home, "/.config");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    directories.systemData = systemDataDirectories(dataDirs != nullptr ? dataDirs : "");
    std::optional<std::string> userDirs = readRegularFile(directories.configHome + "/user-dirs.dirs");
    if (userDirs)
        directories.templates = usableTemplatesDirectory(
            templatesDirectorySetting(*userDirs, directories.home), directories.home);
    return directories;
}

} // namespace quarvo
