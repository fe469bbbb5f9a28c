#include "core/documents/ZipDocument.h"

#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/documents/ArchiveFileDeletion.h"
#include "core/documents/ArchiveInfo.h"
#include "core/documents/EmptyArchive.h"
#include "core/documents/EntryDrag.h"
#include "core/documents/ZipEntryCopies.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ArchiveFile.h"
#include "core/zip/DirectoryError.h"
#include "core/zip/ZipFormat.h"

#include <sys/stat.h>

namespace quarvo {

namespace {

// Commands of the guard that have no menu entry of their own.
namespace GuardId {
constexpr int ConvertDosExe = 5051;
} // namespace GuardId

constexpr const char* NewArchiveTitle = "New ZIP File";
// Linux tools write extensions in lower case; the dialog adds it to a name typed without one.
constexpr const char* NewArchiveExtension = "zip";

std::vector<FileDialogFilter> newArchiveFilters()
{
    return {
        {"ZIP, Self (*.zip,*.exe)", {"*.zip", "*.exe"}},
        {"ZIP (*.zip)", {"*.zip"}},
        {"Self Extract (*.exe)", {"*.exe"}},
        {"All Files (*.*)", {"*.*"}},
    };
}

// The path with the text after its last "." (in the last component) replaced by "zip".
std::string withZipExtension(const std::string& path)
{
    size_t extensionLength = extensionPart(path).size();
    return path.substr(0, path.size() - extensionLength) + NewArchiveExtension;
}

bool isWritingCommand(int commandId)
{
    switch (commandId) {
    case CommandId::AddFiles:
    case CommandId::DeleteEntries:
    case CommandId::PutBackChangedFile:
    case CommandId::ConvertToDosExe:
    case GuardId::ConvertDosExe:
    case CommandId::ConvertToZip:
    case CommandId::FixZipFile:
    case CommandId::ConvertToWindowsExe:
    case CommandId::ConvertToLinuxExtractor:
    case CommandId::DeleteZipFile:
        return true;
    default:
        return false;
    }
}

bool isReadingCommand(int commandId)
{
    switch (commandId) {
    case CommandId::Extract:
    case CommandId::ExtractFreshen:
    case CommandId::ExtractUpdate:
    case CommandId::TestIntegrity:
    case CommandId::ViewFile:
        return true;
    default:
        return false;
    }
}

bool fileExists(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// The message of a directory that could not be read: the archive, then why on a line of its own.
std::string loadErrorText(const std::string& path, const DirectoryError& error)
{
    return "Error loading ZIP File: " + path + "\n" + describeDirectoryError(error);
}

} // namespace

ZipDocument::ZipDocument(ZipDocumentServices services)
    : m_services(std::move(services)), m_reader(m_services.ui, std::string()),
      m_openItems(m_services.openItems, *this)
{
}

ZipDocument::~ZipDocument() = default;

int ZipDocument::showMessage(const std::string& text, MessageButtons buttons, MessageIcon icon,
                             int defaultButton)
{
    MessageBoxRequest request;
    request.text = text;
    request.buttons = buttons;
    request.icon = icon;
    request.defaultButton = defaultButton;
    return m_services.ui.showMessage(request);
}

void ZipDocument::setArchivePath(const std::string& path)
{
    setPath(path);
    m_reader.setPath(path);
}

void ZipDocument::closeSelf()
{
    // The manager destroys this document: nothing may touch it afterwards.
    m_services.manager.closeDocument(this);
}

EntrySourceServices ZipDocument::entryServices()
{
    return {m_services.ui, m_services.dialogs, m_services.settings, m_services.openItems, m_services.entryLaunch};
}

// An AE-2 entry stores no CRC-32: its authentication code checks it instead.
bool ZipDocument::recordsChecksumOf(const ZipEntry& entry) const
{
    return !entry.aes || entry.aes->checksCrc();
}

bool ZipDocument::extractEntryCopy(const OpenItem& item)
{
    return extractZipEntryCopy(m_services, path(), item);
}

uint16_t ZipDocument::extractForCheckOut(const std::string& directory, const std::string& password)
{
    return extractZipArchive(m_services, path(), directory, password);
}

bool ZipDocument::extractEntriesForDrag(const std::vector<std::string>& names, const std::string& directory)
{
    return extractDraggedEntries(m_services.ui, names, [&](const std::string& specification) {
        return extractZipEntries(m_services, path(), specification, directory,
                                 m_services.settings.unzipOptions.password);
    });
}

bool ZipDocument::putBackChangedCopy(const OpenItem& item)
{
    return putBackZipEntryCopy(m_services, path(), item);
}

std::string ZipDocument::askNewArchivePath()
{
    FileDialogRequest request;
    request.title = NewArchiveTitle;
    request.defaultExtension = NewArchiveExtension;
    request.filters = newArchiveFilters();
    std::string path = m_services.ui.chooseFileToSave(request);
    if (path.empty() || !equalsIgnoringCase(extensionPart(path), "exe"))
        return path;

    std::string zipPath = withZipExtension(path);
    showMessage("You did not select \"Create Windows EXE\".  Changing filename:\n\n" + path + "\n\nto\n\n" +
                zipPath);
    // The user agreed to replace the ".exe" file, not this one: ask before it is lost.
    if (fileExists(zipPath) &&
        showMessage(zipPath + " already exists.\nDo you want to replace it?", MessageButtons::YesNo,
                    MessageIcon::Warning, DialogResult::No) != DialogResult::Yes)
        return {};
    return zipPath;
}

bool ZipDocument::replaceExistingFile(const std::string& path)
{
    if (!fileExists(path))
        return true;
    switch (deleteArchiveFile(path)) {
    case ArchiveFileDeletion::Deleted:
        return true;
    case ArchiveFileDeletion::AccessDenied:
        showMessage("Unable to delete read only file " + path + ".");
        return false;
    case ArchiveFileDeletion::Failed:
        break;
    }
    showMessage("An unknown error occured while trying to delete file " + path + ".");
    return false;
}

bool ZipDocument::onNewDocument()
{
    std::string path = askNewArchivePath();
    if (path.empty())
        return false;
    if (Document* open = m_services.manager.findByPath(path); open && open != this)
        m_services.manager.closeDocument(open);
    if (!replaceExistingFile(path))
        return false;
    if (!writeEmptyArchive(path)) {
        showMessage("Unable to create ZIP File: " + path + ".");
        return false;
    }
    setArchivePath(path);
    m_services.settings.addRecentFile(path);
    archive().onRemovableDrive = m_services.onRemovableDrive(path);
    return true;
}

bool ZipDocument::onOpenDocument(const std::string& path)
{
    m_openItems.noteOpening(path);
    setArchivePath(path);
    archive().onRemovableDrive = m_services.onRemovableDrive(path);
    if (!m_reader.readDirectory()) {
        showMessage(loadErrorText(path, m_reader.error()));
        return false;
    }
    notePrefix();
    // Only an archive that opened is worth offering again: a damaged or missing file would push a
    // good one out of the short list.
    if (!isZipInZip())
        m_services.settings.addRecentFile(path);
    return true;
}

bool ZipDocument::reload()
{
    if (!m_reader.readDirectory()) {
        showMessage(loadErrorText(path(), m_reader.error()));
        closeSelf();
        return false;
    }
    m_openItems.dropEntries(m_reader.previousEntries());
    notePrefix();
    updateAllViews(nullptr, UpdateHint::ContentsRebuilt);
    return true;
}

void ZipDocument::notePrefix()
{
    // An archive's first entry starts the file; an empty archive has only its end record.
    uint8_t start[zipformat::SignatureSize] = {};
    ArchiveFile file;
    m_programInFront = !entries().empty() && file.open(path()).ok() && file.read(start) == sizeof start &&
                       (start[0] | start[1] << 8 | start[2] << 16 | uint32_t{start[3]} << 24) !=
                           zipformat::LocalHeaderSignature;
}

bool ZipDocument::checkFileChanged()
{
    if (archive().spanned)
        return true;
    struct stat status {};
    if (::stat(path().c_str(), &status) != 0) {
        showMessage("Could not find ZIP File: \n\n" + path());
        closeSelf();
        return false;
    }
    const ArchiveFileStatus& known = archive().fileStatus;
    bool changed = status.st_ctim.tv_sec != known.creationTime ||
                   status.st_mtim.tv_sec != known.modificationTime ||
                   static_cast<uint64_t>(status.st_size) != known.size;
    return changed ? reload() : true;
}

bool ZipDocument::deleteArchive()
{
    if (!canRunCommand(CommandId::DeleteZipFile))
        return false;
    if (!askAndDeleteArchiveFile(m_services.ui, path(), openItemCount()))
        return false;
    closeSelf();
    return true;
}

void ZipDocument::showInfo()
{
    m_services.dialogs.showZipFileInfo(buildZipFileInfo(path(), archive()));
}

bool ZipDocument::canRunCommand(int commandId)
{
    bool writing = isWritingCommand(commandId);
    if (writing && archive().spanned) {
        showMessage(commandId == CommandId::DeleteZipFile
                        ? "You can't delete a ZIP file that spans disks."
                        : "You can't convert a ZIP file,add files to a ZIP file or delete files from a ZIP "
                          "file that spans disks.");
        return false;
    }
    if (writing || isReadingCommand(commandId)) {
        if (archive().spanned && !isCheckedOut())
            showMessage("Please insert the last disk of the backup set.");
        return true;
    }
    return commandId == CommandId::ChangeFont;
}

std::optional<bool> ZipDocument::isCommandEnabled(int commandId) const
{
    const int kind = archive().selfExtractorKind;
    if (CommandId::isAddCommand(commandId))
        return true;
    switch (commandId) {
    case CommandId::FixZipFile:
        return true;
    // Any program in front may be taken off, a Linux self-extractor's too, which reads as kind 0.
    case CommandId::ConvertToZip:
        return kind == SelfExtractorKind::Dos || kind == SelfExtractorKind::Windows || m_programInFront;
    case CommandId::ConvertToDosExe:
        return kind == SelfExtractorKind::None;
    case CommandId::ConvertToWindowsExe:
        return kind != SelfExtractorKind::Windows;
    // Any archive, plain or behind a program, may become a Linux self-extractor.
    case CommandId::ConvertToLinuxExtractor:
        return true;
    case CommandId::SelfExtractorConfigurator:
        return kind == SelfExtractorKind::Windows;
    default:
        return sharedArchiveCommandState(commandId, isZipInZip());
    }
}

int ZipDocument::confirmClose(bool closeAllMode)
{
    int answer = DialogResult::Yes;
    if (isModified()) {
        std::string question =
            "Closing this ZIP file will close all its associated zip in zip windows if they "
            "exist and you will lose all changes to the files showing from this ZIP "
            "file.\n\nContinue closing this ZIP file?\n\n" +
            path();
        answer = closeAllMode ? m_services.ui.askCloseQuestion(question)
                              : showMessage(question, MessageButtons::YesNoCancel, MessageIcon::Warning,
                                            DialogResult::No);
    }
    m_checkOut.offerDeletion(m_services.ui, path(), [this] { return entryNames(); });
    return answer;
}

// A check-out without a record of what it created wrote a file for every entry.
std::vector<std::string> ZipDocument::entryNames() const
{
    std::vector<std::string> names;
    names.reserve(entries().size());
    for (const auto& entry : entries())
        names.push_back(entry->name);
    return names;
}

void ZipDocument::onCloseDocument()
{
    m_openItems.offerCopyToParent(path());
    m_openItems.dropEntries(entries());
    m_openItems.dropEntries(m_reader.previousEntries());
    m_openItems.removeAll();
}

} // namespace quarvo
