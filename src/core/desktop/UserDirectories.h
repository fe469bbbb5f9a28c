#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// The directories registration writes into, by the XDG base directory rules.
struct DesktopDirectories {
    std::string home;
    std::string dataHome;   // $XDG_DATA_HOME, else ~/.local/share
    std::string configHome; // $XDG_CONFIG_HOME, else ~/.config
    // The user's templates directory; none when it is not configured, does not exist or is the home
    // directory itself (where a template would clutter the user's files).
    std::optional<std::string> templates;
    // The system's data directories ($XDG_DATA_DIRS, else /usr/local/share and /usr/share), where an
    // installation's desktop entry, MIME package and icons serve every user.
    std::vector<std::string> systemData;
};

// The directories of the current user, from the environment and user-dirs.dirs.
DesktopDirectories desktopDirectoriesFromEnvironment();

// The directories of an XDG_DATA_DIRS value: the absolute ones, in order, without trailing slashes;
// the standard /usr/local/share and /usr/share when it names none.
std::vector<std::string> systemDataDirectories(std::string_view setting);

// XDG_TEMPLATES_DIR as user-dirs.dirs sets it: a quoted "$HOME/..." or absolute path. Nothing when
// the text does not set it in one of those forms.
std::optional<std::string> templatesDirectorySetting(std::string_view userDirsText, std::string_view home);

// The configured templates directory when it exists as a directory and is not the home directory.
std::optional<std::string> usableTemplatesDirectory(const std::optional<std::string>& configured,
                                                    std::string_view home);

} // namespace quarvo
