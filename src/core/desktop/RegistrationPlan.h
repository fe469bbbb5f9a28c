#pragma once

#include "core/desktop/UserDirectories.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// What a registered file is for; it decides which desktop database must hear of a change.
enum class RegisteredPart { DesktopEntry, MimePackage, Icon, Template };

struct PlannedFile {
    RegisteredPart part = RegisteredPart::Icon;
    std::string path;
    std::string content;
};

// How much a user's registration holds. Beside an installation registered for every user
// (installedForAllUsers), the system directories already hold the desktop entry, the MIME package
// and the icons, and a second quarvo.desktop of the user's would shadow the package's one: only what
// has no system counterpart is the user's, the template here and the associations in mimeapps.list.
enum class RegistrationScope { Complete, BesideSystemInstallation };

// Every file registration writes for the program at programPath: the desktop entry, the MIME
// package, the icons of the hicolor theme (all three only in the complete scope) and, when the user
// has a templates directory, the empty ZIP archive the file manager's "New" menu copies.
std::vector<PlannedFile> registrationPlan(const DesktopDirectories& directories, std::string_view programPath,
                                          RegistrationScope scope = RegistrationScope::Complete);

// The name of the template file: the ZIP kind's type name, which the "New" menu shows.
std::string templateFileName();

// The part a registered path belongs to, told by where it lies.
RegisteredPart registeredPartOf(const DesktopDirectories& directories, std::string_view path);

} // namespace quarvo
