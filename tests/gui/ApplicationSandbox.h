#pragma once

#include "gui/app/ZipApplication.h"

#include "support/TemporaryDirectory.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <sys/stat.h>

namespace quarvo::testing {

// A temporary home for the application under test: a profile file, a program directory holding a
// viewer the start-up check finds (so start-up asks nothing), a private run-time directory for the
// instance socket, and the working directory moved inside for as long as the sandbox lives.
class ApplicationSandbox : public TemporaryDirectory {
  public:
    ApplicationSandbox() : m_previousDirectory(QDir::currentPath())
    {
        namespace fs = std::filesystem;
        fs::create_directories(path() / "program");
        fs::create_directories(path() / "runtime");
        ::chmod(file("runtime").c_str(), 0700);
        writeFile(file("program/VIEWER.EXE"), "#!/bin/sh\n");
        fs::permissions(file("program/VIEWER.EXE"), fs::perms::owner_all);
        QDir::setCurrent(QString::fromStdString(path().string()));
    }

    ~ApplicationSandbox() { QDir::setCurrent(m_previousDirectory); }

    gui::StartupEnvironment environment(QStringList arguments = {}) const
    {
        gui::StartupEnvironment environment;
        environment.arguments = std::move(arguments);
        environment.executablePath = QStringLiteral("/opt/quarvo/bin/quarvo");
        environment.profilePath = file("quarvo.ini");
        environment.programDirectory = file("program");
        environment.runtimeDirectory = file("runtime");
        environment.showBanner = false;
        return environment;
    }

  private:
    QString m_previousDirectory;
};

} // namespace quarvo::testing
