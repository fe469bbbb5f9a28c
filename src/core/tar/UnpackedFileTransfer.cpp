#include "core/tar/UnpackedFileTransfer.h"

#include "core/app/CancelFlags.h"
#include "core/base/UniqueFd.h"
#include "core/documents/FileCopy.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/ui/UserInterface.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

// One buffer serves the whole copy.
constexpr size_t CopyBufferSize = 65280;

void reportFailure(UserInterface& ui, const std::string& destination, int error)
{
    MessageBoxRequest request;
    request.icon = MessageIcon::Warning;
    request.text = "Error: Could not save to " + destination + ".";
    if (error == ENOSPC || error == EDQUOT)
        request.text += "\n\nDrive does not have enough free space.";
    ui.showMessage(request);
}

// The temporary file a copy is written to: hidden, beside the destination, so that renaming it over
// the destination stays on one file system.
std::string temporaryBeside(const std::string& destination)
{
    std::filesystem::path path(destination);
    std::filesystem::path directory = path.parent_path();
    if (directory.empty())
        directory = ".";
    return (directory / ("." + path.filename().string() + ".XXXXXX")).string();
}

// Copies source into a temporary file beside destination, with the progress window open, and puts
// it in destination's place once whole. Returns 0 or the error number that stopped it; nothing of
// the copy is left behind on failure.
int copyInto(UserInterface& ui, const std::string& source, const std::string& destination,
             const std::string& waitText)
{
    UniqueFd from(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!from || ::fstat(from.get(), &status) != 0)
        return errno;
    std::string temporary = temporaryBeside(destination);
    UniqueFd to(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!to)
        return errno;

    CancelFlags::tarLibrary = false;
    ui.openProgress(CancelFlags::tarLibrary);
    ui.setProgress(waitText, 0);
    const uint64_t total = static_cast<uint64_t>(status.st_size);
    int error = copyFileData(from.get(), to.get(), CopyBufferSize, [&](uint64_t copied) {
        ui.setProgress(waitText, total == 0 ? 100 : static_cast<int>(copied * 100 / total));
        if (ui.processEvents())
            CancelFlags::tarLibrary = true;
        return !CancelFlags::tarLibrary;
    });
    ui.closeProgress();
    if (error == 0 && (::fchmod(to.get(), status.st_mode & 0777) != 0 || ::fsync(to.get()) != 0))
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), destination.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.c_str());
    return error;
}

} // namespace

bool transferUnpackedFile(UserInterface& ui, const std::string& source, const std::string& destination,
                          const std::string& waitText)
{
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return true;
    int error = errno;
    if (error == EXDEV)
        error = copyInto(ui, source, destination, waitText);
    if (error == ECANCELED)
        return false;
    if (error != 0) {
        reportFailure(ui, destination, error);
        return false;
    }
    ::unlink(source.c_str());
    return true;
}

} // namespace quarvo
