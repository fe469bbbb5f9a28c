#include "core/dialogs/DirectoryConfirmation.h"

#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

#include <filesystem>
#include <system_error>

namespace quarvo {

namespace {

bool isDirectory(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Creates the last level of directory only; false when that is not possible.
bool createLastLevel(const std::string& directory)
{
    std::filesystem::path path(directory);
    if (!path.is_absolute())
        return false;
    // "/a/b/" names the same directory as "/a/b": its parent is "/a", not "/a/b".
    while (path.has_relative_path() && !path.has_filename())
        path = path.parent_path();
    if (!isDirectory(path.parent_path()))
        return false;
    std::error_code error;
    return std::filesystem::create_directory(path, error) && !error;
}

} // namespace

bool confirmDirectory(UserInterface& ui, const std::string& directory)
{
    if (!directory.empty() && isDirectory(directory))
        return true;
    const std::string quoted = "Directory \"" + directory + "\"";
    int answer = ui.showMessage(MessageBoxRequest{
        quoted + " does not exist. Create it?", MessageButtons::YesNoCancel, MessageIcon::Question, 0, {}});
    if (answer != DialogResult::Yes)
        return false;
    if (createLastLevel(directory))
        return true;
    ui.showMessage(
        MessageBoxRequest{quoted + " could not be created.", MessageButtons::Ok, MessageIcon::Error, 0, {}});
    return false;
}

} // namespace quarvo
