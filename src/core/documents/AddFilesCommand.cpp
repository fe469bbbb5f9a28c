#include "core/documents/AddFilesCommand.h"

#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"

#include <array>
#include <optional>
#include <string>

namespace quarvo {

namespace {

struct AddOperation {
    int commandId;
    const char* captionStart; // of the file-list dialog's title
};

// In the order of the dialogs' operation index.
constexpr std::array<AddOperation, 6> AddOperations{{
    {CommandId::AddFiles, "Add Files ("},
    {CommandId::UpdateFiles, "Update Files ("},
    {CommandId::FreshenFiles, "Freshen Files ("},
    {CommandId::MoveFiles, "Move Files ("},
    {CommandId::MoveUpdateFiles, "Move/Update Files ("},
    {CommandId::MoveFreshenFiles, "Move/Freshen Files ("},
}};

constexpr const char* AllFiles = "*.*";
// Where a whole-drive backup starts.
constexpr const char* DriveRoot = "/";

std::optional<int> operationIndexOf(int commandId)
{
    for (size_t i = 0; i < AddOperations.size(); ++i) {
        if (AddOperations[i].commandId == commandId)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

bool isOperationIndex(int index)
{
    return index >= 0 && static_cast<size_t>(index) < AddOperations.size();
}

AddFilesDialogValues initialValues(const ZipDocument& document, const AppSettings& settings, int index)
{
    const ZipOptions& options = settings.zipOptions;
    AddFilesDialogValues values;
    values.title = "Compress Files (" + std::string(fileNamePart(document.path())) + ")";
    values.archiveOnRemovableDrive = document.archive().onRemovableDrive;
    values.archiveIsSelfExtractor = equalsIgnoringCase(extensionPart(document.path()), "exe");
    values.directoryHistory = settings.compressHistory;
    values.operationIndex = index;
    values.compressionFactor = options.compressionFactor;
    values.spanDiskType = options.spanDiskType;
    values.backupEntireDrive = options.backupEntireDrive != 0;
    values.recurse = options.recurse != 0;
    values.storePath = options.storePath != 0;
    values.sourceDirectory = settings.compressHistory.front();
    return values;
}

void writeOptions(const AddFilesDialogValues& values, ZipOptions& options)
{
    options.recurse = values.recurse ? 1 : 0;
    options.storePath = values.storePath ? 1 : 0;
    options.compressionFactor = values.compressionFactor;
    options.password = values.password;
    options.spanDiskType = values.spanDiskType;
    options.backupEntireDrive = values.backupEntireDrive ? 1 : 0;
}

// The comment to hand to the engine: nothing keeps the archive's own (its stored bytes stay exactly
// as they are), a text replaces it, an empty text removes it.
std::optional<std::string> chooseComment(ZipDocument& document)
{
    ZipDocumentServices& services = document.services();
    if (!services.settings.zipOptions.editComment)
        return std::nullopt;
    std::string comment = document.archive().archiveComment;
    if (services.dialogs.editComment(comment) != DialogResult::Ok ||
        comment == document.archive().archiveComment)
        return std::nullopt;
    return comment;
}

} // namespace

bool addFiles(ZipDocument& document, int commandId)
{
    // One engine operation at a time: a command started while one runs does nothing.
    if (isEngineOperationRunning())
        return false;
    if (!document.canRunCommand(CommandId::AddFiles))
        return false;
    std::optional<int> initialIndex = operationIndexOf(commandId);
    if (!initialIndex)
        return false;
    ZipDocumentServices& services = document.services();
    AppSettings& settings = services.settings;
    const std::string archiveName(fileNamePart(document.path()));

    AddFilesDialogValues values = initialValues(document, settings, *initialIndex);
    FileListDialogValues fileList;
    bool wholeDrive = false;
    for (;;) {
        if (services.dialogs.editAddFiles(values) != DialogResult::Ok ||
            !isOperationIndex(values.operationIndex))
            return false;
        adoptChosenDirectory(settings.compressHistory, values.sourceDirectory);
        wholeDrive = values.spanDiskType != 0 && values.backupEntireDrive;
        if (wholeDrive)
            break;
        fileList.title =
            AddOperations[static_cast<size_t>(values.operationIndex)].captionStart + archiveName + ")";
        fileList.zipFromDirectory = values.sourceDirectory;
        int answer = services.dialogs.editFileList(fileList);
        if (answer == DialogResult::Ok)
            break;
        if (answer != DialogResult::Cancel)
            return false;
    }
    writeOptions(values, settings.zipOptions);

    ZipEngineSession session(services.ui, services.engines, settings);
    session.applyZipOptions(settings.zipOptions);
    if (wholeDrive)
        session.setLists({}, {});
    else
        session.setLists(fileList.includeNames, fileList.excludeNames);
    std::optional<std::string> comment = chooseComment(document);
    session.setComment(comment);

    std::string specification;
    if (wholeDrive) {
        specification = std::string(DriveRoot) + AllFiles;
        session.zipCommand().recurse = 1;
        session.zipCommand().noDirectoryNames = 0;
    } else {
        specification = withTrailingSlash(values.sourceDirectory) + AllFiles;
    }
    const int chosenCommand = AddOperations[static_cast<size_t>(values.operationIndex)].commandId;
    if (session.runZip(document.path(), specification, chosenCommand) != 0)
        return false;
    if (comment)
        document.archive().archiveComment = *comment;
    (void)document.reload();
    return true;
}

} // namespace quarvo
