#include "core/documents/ArchiveFileDeletion.h"

#include "core/ui/DialogResult.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/ui/UserInterface.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

ArchiveFileDeletion deleteArchiveFile(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
        return ArchiveFileDeletion::Failed;
    if (!S_ISLNK(status.st_mode) && !(status.st_mode & S_IWUSR))
        return ArchiveFileDeletion::AccessDenied;
    if (::unlink(path.c_str()) == 0)
        return ArchiveFileDeletion::Deleted;
    if (errno == EACCES || errno == EPERM || errno == EROFS)
        return ArchiveFileDeletion::AccessDenied;
    return ArchiveFileDeletion::Failed;
}

bool askAndDeleteArchiveFile(UserInterface& ui, const std::string& path, int openItemCount)
{
    MessageBoxRequest question;
    question.text = openItemCount == 0
                        ? "Are you sure you want to delete the ZIP file?\n\n" + path
                        : "Deleting this ZIP file will close all its associated zip in zip windows if they exist "
                          "and you will lose all changes to the files showing from this ZIP file.\n\nContinue "
                          "deleting file?\n\n" +
                              path;
    question.buttons = MessageButtons::YesNoCancel;
    question.icon = MessageIcon::Warning;
    question.defaultButton = DialogResult::No;
    if (ui.showMessage(question) != DialogResult::Yes)
        return false;
    if (deleteArchiveFile(path) != ArchiveFileDeletion::Deleted) {
        MessageBoxRequest failure;
        failure.text = "An error occured while trying to delete the file.\n\n" + path;
        failure.icon = MessageIcon::Warning;
        ui.showMessage(failure);
    }
    return true;
}

} // namespace quarvo
