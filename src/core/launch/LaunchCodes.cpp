#include "core/launch/LaunchCodes.h"

#include <array>
#include <cerrno>
#include <utility>

namespace quarvo {

namespace {

constexpr std::array<std::pair<int, std::string_view>, 17> ErrorTexts{{
    {0, "System was out of memory, executable file was corrupt, or relocations were invalid."},
    {2, "File was not found."},
    {3, "Path was not found."},
    {5, "Attempt was made to dynamically link to a task, or there was a sharing or network-protection "
        "error."},
    {6, "Library can only be loaded once."},
    {8, "There was insufficient memory to start the application."},
    {10, "Windows version was incorrect."},
    {11, "Executable file was invalid. Either it was not a Windows application or there was an error in "
         "the .EXE image."},
    {12, "Application was designed for a different operating system."},
    {13, "Application was designed for MS-DOS 4.0."},
    {14, "Type of executable file was unknown."},
    {15, "Attempt was made to load a real-mode application (developed for an earlier version of "
         "Windows)."},
    {16, "Attempt was made to load a second instance of an executable file that can only be loaded "
         "once."},
    {19, "Attempt was made to load a compressed executable file. The file must be decompressed before it "
         "can be loaded."},
    {20, "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run this application "
         "was corrupt."},
    {21, "Application requires Microsoft Windows 32-bit extensions."},
    {22, "Could not launch the selected file."},
}};

} // namespace

std::optional<std::string_view> launchErrorText(int code)
{
    for (const auto& [known, text] : ErrorTexts) {
        if (known == code)
            return text;
    }
    return std::nullopt;
}

std::string launchFailureMessage(int code, std::string_view commandLine)
{
    std::optional<std::string_view> text = launchErrorText(code);
    std::string message = text ? "Execute failed.  " + std::string(*text)
                               : "Unknown error. Error ID = " + std::to_string(code) + ".";
    return message + "\n\n" + std::string(commandLine);
}

int launchCodeForErrno(int error, LaunchStep step)
{
    if (error == ENOMEM)
        return LaunchCode::InsufficientMemory;
    if (error == ENOTDIR)
        return LaunchCode::PathNotFound;
    if (error == ENOENT)
        return step == LaunchStep::Program ? LaunchCode::FileNotFound : LaunchCode::PathNotFound;
    return LaunchCode::CouldNotLaunch;
}

} // namespace quarvo
