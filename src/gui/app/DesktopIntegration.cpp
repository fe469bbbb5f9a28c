#include "gui/app/DesktopIntegration.h"

#include "core/desktop/DesktopRegistration.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quarvo::gui {

namespace {

// The executable's real path, links resolved: what the desktop entry starts.
std::string runningProgramPath()
{
    std::error_code error;
    std::filesystem::path path = QCoreApplication::applicationFilePath().toStdString();
    std::filesystem::path real = std::filesystem::weakly_canonical(path, error);
    return (error ? path : real).string();
}

} // namespace

void registerWithDesktopAtStartup()
{
    const char* force = std::getenv("QUARVO_REGISTER");
    std::string program = runningProgramPath();
    if (program.empty() || !registrationWanted(program, QUARVO_BUILD_DIRECTORY, force ? force : ""))
        return;
    // Registration is a courtesy to the desktop: a failure leaves the program working as before.
    (void)registerWithDesktop(desktopDirectoriesFromEnvironment(), program);
}

int unregisterFromDesktopAndReport()
{
    RegistrationReport report = unregisterFromDesktop(desktopDirectoriesFromEnvironment());
    for (const std::string& path : report.removed)
        std::printf("removed %s\n", path.c_str());
    if (report.associationsChanged)
        std::printf("removed Quarvo from the file associations\n");
    for (const Error& failure : report.failures)
        std::fprintf(stderr, "quarvo: %s\n", failure.message.c_str());
    return report.failures.empty() ? 0 : 1;
}

} // namespace quarvo::gui
