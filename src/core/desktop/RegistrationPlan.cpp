#include "core/desktop/RegistrationPlan.h"

#include "core/desktop/DesktopEntry.h"
#include "core/desktop/DesktopIcons.h"
#include "core/desktop/DesktopKinds.h"
#include "core/desktop/MimePackage.h"
#include "core/zip/ZipRecords.h"

namespace quarvo {

namespace {

std::string applicationsDirectory(const DesktopDirectories& directories)
{
    return directories.dataHome + "/applications";
}

std::string mimePackagesDirectory(const DesktopDirectories& directories)
{
    return directories.dataHome + "/mime/packages";
}

std::string iconPath(const DesktopDirectories& directories, std::string_view name)
{
    std::string_view context = name == ProgramIconName ? "apps" : "mimetypes";
    return directories.dataHome + "/icons/hicolor/scalable/" + std::string(context) + "/" + std::string(name) + ".svg";
}

std::string emptyArchiveBytes()
{
    std::vector<uint8_t> bytes;
    appendEndRecord(bytes, EndRecordFields{});
    return std::string(bytes.begin(), bytes.end());
}

// The files of the complete scope: the desktop entry, the MIME package and the icons.
void appendDesktopFiles(const DesktopDirectories& directories, std::string_view programPath,
                        std::vector<PlannedFile>& plan)
{
    plan.push_back({RegisteredPart::DesktopEntry,
                    applicationsDirectory(directories) + "/" + std::string(DesktopEntryId),
                    desktopEntryText(programPath)});
    plan.push_back({RegisteredPart::MimePackage,
                    mimePackagesDirectory(directories) + "/" + std::string(MimePackageFileName), mimePackageText()});
    for (const DesktopIcon& icon : desktopIcons())
        plan.push_back({RegisteredPart::Icon, iconPath(directories, icon.name), std::string(icon.svg)});
}

} // namespace

std::string templateFileName()
{
    const DesktopKind& zip = desktopKinds().front();
    return std::string(zip.info->typeName) + std::string(zip.info->extension);
}

std::vector<PlannedFile> registrationPlan(const DesktopDirectories& directories, std::string_view programPath,
                                          RegistrationScope scope)
{
    std::vector<PlannedFile> plan;
    if (scope == RegistrationScope::Complete)
        appendDesktopFiles(directories, programPath, plan);
    if (directories.templates)
        plan.push_back({RegisteredPart::Template, *directories.templates + "/" + templateFileName(), emptyArchiveBytes()});
    return plan;
}

RegisteredPart registeredPartOf(const DesktopDirectories& directories, std::string_view path)
{
    if (path.starts_with(applicationsDirectory(directories) + "/"))
        return RegisteredPart::DesktopEntry;
    if (path.starts_with(mimePackagesDirectory(directories) + "/"))
        return RegisteredPart::MimePackage;
    if (path.starts_with(directories.dataHome + "/icons/"))
        return RegisteredPart::Icon;
    return RegisteredPart::Template;
}

} // namespace quarvo
