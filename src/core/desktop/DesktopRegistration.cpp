#include "core/desktop/DesktopRegistration.h"

#include "core/desktop/DesktopEntry.h"
#include "core/desktop/DesktopKinds.h"
#include "core/desktop/FileUpdate.h"
#include "core/desktop/MimeAppsList.h"
#include "core/desktop/RegistrationPlan.h"
#include "core/desktop/SystemInstallation.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr std::string_view ManifestHeader = "# Files Quarvo wrote for the desktop; \"quarvo --unregister\" removes them.\n";

// The databases to bring up to date after the files of these parts changed.
struct ChangedParts {
    bool desktopEntry = false;
    bool mimePackage = false;

    void note(RegisteredPart part)
    {
        desktopEntry = desktopEntry || part == RegisteredPart::DesktopEntry;
        mimePackage = mimePackage || part == RegisteredPart::MimePackage;
    }
};

std::vector<std::string> readManifest(const DesktopDirectories& directories)
{
    std::vector<std::string> paths;
    std::optional<std::string> text = readRegularFile(registrationManifestPath(directories));
    std::string_view rest = text ? std::string_view(*text) : std::string_view{};
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.front() != '#')
            paths.emplace_back(line);
    }
    return paths;
}

std::string manifestText(const std::vector<PlannedFile>& plan)
{
    std::string text(ManifestHeader);
    for (const PlannedFile& file : plan)
        text += file.path + "\n";
    return text;
}

bool liesUnder(std::string_view path, const std::string& directory)
{
    return !directory.empty() && path.starts_with(directory + "/");
}

// A path of the manifest is ours to remove only when it lies in the data directory or is a template
// (the templates directory may have moved since), climbs nowhere and names a regular file: an edited
// manifest must not make unregistering delete anything else.
bool removeRecordedFile(const DesktopDirectories& directories, const std::string& path, RegistrationReport& report)
{
    std::filesystem::path recorded(path);
    bool ourPlace = liesUnder(path, directories.dataHome) || recorded.filename() == templateFileName();
    if (!ourPlace || std::ranges::any_of(recorded, [](const auto& part) { return part == ".."; }))
        return false;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if (::unlink(path.c_str()) != 0) {
        report.failures.push_back(Error{path + ": " + std::strerror(errno)});
        return false;
    }
    report.removed.push_back(path);
    return true;
}

// mimeapps.list is the user's file: a link to it is followed and the file it names updated.
std::filesystem::path mimeAppsTarget(const DesktopDirectories& directories)
{
    std::filesystem::path path = mimeAppsListPath(directories);
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

void updateMimeAppsList(const DesktopDirectories& directories, bool add, RegistrationReport& report)
{
    std::filesystem::path path = mimeAppsTarget(directories);
    std::error_code error;
    bool exists = std::filesystem::exists(path, error);
    std::optional<std::string> old = exists ? readRegularFile(path) : std::string();
    if (!old) {
        // A file we cannot read whole is not rewritten: that would lose the user's associations.
        report.failures.push_back(Error{path.string() + ": cannot be read"});
        return;
    }
    if (!add && !exists)
        return;
    std::vector<std::string_view> types;
    for (const DesktopKind& kind : desktopKinds())
        types.push_back(kind.mimeType);
    std::string text = add ? addAssociations(*old, types, DesktopEntryId) : removeAssociations(*old, DesktopEntryId);
    if (text == *old)
        return;
    Result<bool> written = writeFileIfChanged(path.string(), text);
    if (!written)
        report.failures.push_back(written.error());
    else
        report.associationsChanged = *written;
}

void updateDatabases(const DesktopDirectories& directories, ChangedParts changed, const ToolRunner& runTool)
{
    if (changed.mimePackage)
        runTool({"update-mime-database", directories.dataHome + "/mime"});
    if (changed.desktopEntry)
        runTool({"update-desktop-database", "-q", directories.dataHome + "/applications"});
}

} // namespace

std::string registrationManifestPath(const DesktopDirectories& directories)
{
    return directories.dataHome + "/quarvo/registered-files";
}

std::string mimeAppsListPath(const DesktopDirectories& directories)
{
    return directories.configHome + "/mimeapps.list";
}

RegistrationReport registerWithDesktop(const DesktopDirectories& directories, std::string_view programPath,
                                       const ToolRunner& runTool)
{
    RegistrationReport report;
    if (!directories.dataHome.starts_with('/') || !directories.configHome.starts_with('/')) {
        report.failures.push_back(Error{"no home directory to register in"});
        return report;
    }
    ChangedParts changed;
    RegistrationScope scope = installedForAllUsers(directories, programPath) ? RegistrationScope::BesideSystemInstallation
                                                                              : RegistrationScope::Complete;
    std::vector<PlannedFile> plan = registrationPlan(directories, programPath, scope);
    std::set<std::string> planned;
    for (const PlannedFile& file : plan) {
        planned.insert(file.path);
        Result<bool> written = writeFileIfChanged(file.path, file.content);
        if (!written) {
            report.failures.push_back(written.error());
        } else if (*written) {
            report.written.push_back(file.path);
            changed.note(file.part);
        }
    }
    for (const std::string& path : readManifest(directories)) {
        if (!planned.contains(path) && removeRecordedFile(directories, path, report))
            changed.note(registeredPartOf(directories, path));
    }
    if (Result<bool> written = writeFileIfChanged(registrationManifestPath(directories), manifestText(plan)); !written)
        report.failures.push_back(written.error());
    updateMimeAppsList(directories, true, report);
    updateDatabases(directories, changed, runTool);
    return report;
}

RegistrationReport unregisterFromDesktop(const DesktopDirectories& directories, const ToolRunner& runTool)
{
    RegistrationReport report;
    ChangedParts changed;
    for (const std::string& path : readManifest(directories)) {
        if (removeRecordedFile(directories, path, report))
            changed.note(registeredPartOf(directories, path));
    }
    std::string manifest = registrationManifestPath(directories);
    if (::unlink(manifest.c_str()) != 0 && errno != ENOENT)
        report.failures.push_back(Error{manifest + ": " + std::strerror(errno)});
    updateMimeAppsList(directories, false, report);
    updateDatabases(directories, changed, runTool);
    return report;
}

bool registrationWanted(std::string_view executablePath, std::string_view buildDirectory,
                        std::string_view forceSetting)
{
    if (forceSetting == "1")
        return true;
    if (buildDirectory.empty())
        return true;
    std::error_code error;
    std::filesystem::path program = std::filesystem::weakly_canonical(std::filesystem::path(executablePath), error);
    std::filesystem::path build = std::filesystem::weakly_canonical(std::filesystem::path(buildDirectory), error);
    if (error)
        return true;
    auto [buildEnd, programAt] = std::mismatch(build.begin(), build.end(), program.begin(), program.end());
    // A trailing separator leaves an empty last component in the build path; it matches anything.
    return !(buildEnd == build.end() || (std::next(buildEnd) == build.end() && buildEnd->empty()));
}

} // namespace quarvo
