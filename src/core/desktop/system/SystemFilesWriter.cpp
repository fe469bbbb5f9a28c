// quarvo-system-files: writes the desktop entry and the MIME package an installation puts in the
// system's data directories, from the same builders as the per-user registration, so both always
// describe the same types, icons and actions. It runs at build time (see ../CMakeLists.txt).
//
//   quarvo-system-files OUTPUT-DIRECTORY

#include "core/desktop/DesktopEntry.h"
#include "core/desktop/FileUpdate.h"
#include "core/desktop/MimePackage.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarvo-system-files OUTPUT-DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    const std::pair<std::string, std::string> files[] = {
        {directory + "/" + std::string(quarvo::DesktopEntryId), quarvo::installedDesktopEntryText()},
        {directory + "/" + std::string(quarvo::MimePackageFileName), quarvo::mimePackageText()},
    };
    for (const auto& [path, text] : files) {
        // Written only when changed, so the install step sees a file as new only when it is.
        quarvo::Result<bool> written = quarvo::writeFileIfChanged(path, text);
        if (!written) {
            std::fprintf(stderr, "quarvo-system-files: %s\n", written.error().message.c_str());
            return 1;
        }
    }
    return 0;
}
