#pragma once

#include "gui/app/ZipApplication.h"

#include "support/TemporaryDirectory.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <sys/stat.h>

namespace quarvo::testing {

// The directory of the quarvo executable in this build. Quarvo's own viewer is built beside it, where
// the start-up check looks for the default viewer; nothing is planted there by the tests, so a
// viewer that is not where an installed program has it fails every test that starts the application.
inline std::string buildProgramDirectory()
{
    return QUARVO_PROGRAM_DIRECTORY;
}

// A temporary home for the application under test: a fresh profile file, the build's real program
// directory, a private run-time directory for the instance socket, and the working directory moved
// inside for as long as the sandbox lives.
class ApplicationSandbox : public TemporaryDirectory {
  public:
    ApplicationSandbox() : m_previousDirectory(QDir::currentPath())
    {
        std::filesystem::create_directories(path() / "runtime");
        ::chmod(file("runtime").c_str(), 0700);
        QDir::setCurrent(QString::fromStdString(path().string()));
    }

    ~ApplicationSandbox() { QDir::setCurrent(m_previousDirectory); }

    gui::StartupEnvironment environment(QStringList arguments = {}) const
    {
        gui::StartupEnvironment environment;
        environment.arguments = std::move(arguments);
        environment.executablePath = QStringLiteral("/opt/quarvo/bin/quarvo");
        environment.profilePath = file("quarvo.ini");
        environment.programDirectory = buildProgramDirectory();
        environment.runtimeDirectory = file("runtime");
        environment.cacheDirectory = file("cache");
        environment.showBanner = false;
        return environment;
    }

  private:
    QString m_previousDirectory;
};

} // namespace quarvo::testing
