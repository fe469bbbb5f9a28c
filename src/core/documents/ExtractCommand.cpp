#include "core/documents/ExtractCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/SelectionSource.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

#include <array>
#include <filesystem>

namespace quarvo {

namespace {

// In the order of the dialog's operation index.
constexpr std::array<int, 4> ExtractOperations{CommandId::Extract, CommandId::ExtractUpdate,
                                               CommandId::ExtractFreshen, CommandId::TestIntegrity};

// More selected entries than this make too long a list: the dialog then offers all entries or a
// typed specification only.
constexpr int MaximumSelectedEntries = 200;

int operationIndexOf(int commandId)
{
    for (size_t i = 0; i < ExtractOperations.size(); ++i) {
        if (ExtractOperations[i] == commandId)
            return static_cast<int>(i);
    }
    return 0;
}

ExtractDialogValues initialValues(const ZipDocument& document, const AppSettings& settings, int commandId,
                                  int selectedCount)
{
    const UnzipOptions& options = settings.unzipOptions;
    ExtractDialogValues values;
    values.title = "Extract Files (" + std::string(fileNamePart(document.path())) + ")";
    values.archiveKind = ArchiveKind::Zip;
    values.selectionAvailable = selectedCount >= 1 && selectedCount <= MaximumSelectedEntries;
    values.directoryHistory = settings.extractHistory;
    values.operationIndex = operationIndexOf(commandId);
    values.filesToExtract = values.selectionAvailable ? FilesToExtract::Selected : FilesToExtract::All;
    values.overwrite = options.overwrite != 0;
    values.recreate = options.recreate != 0;
    values.password = options.password;
    values.destinationDirectory = settings.extractHistory.front();
    return values;
}

// The directory the engine extracts into, with its "/". An empty choice means the working
// directory, never the root.
std::string destinationOf(const std::string& directory)
{
    if (!directory.empty())
        return withTrailingSlash(directory);
    std::error_code error;
    std::string current = std::filesystem::current_path(error).string();
    return error ? std::string("./") : withTrailingSlash(current);
}

} // namespace

uint16_t extractEntries(ZipDocument& document, int commandId, const SelectionSource& selection)
{
    // One engine operation at a time: a command started while one runs does nothing.
    if (isEngineOperationRunning())
        return SessionResult::Busy;
    if (!document.canRunCommand(commandId))
        return 0;
    ZipDocumentServices& services = document.services();
    AppSettings& settings = services.settings;
    ExtractDialogValues values = initialValues(document, settings, commandId, selection.selectedCount());
    if (services.dialogs.editExtract(values) != DialogResult::Ok)
        return 0;
    adoptChosenDirectory(settings.extractHistory, values.destinationDirectory);
    if (values.filesToExtract == FilesToExtract::Selected && !values.selectionAvailable)
        values.filesToExtract = FilesToExtract::Typed;

    UnzipOptions& options = settings.unzipOptions;
    options.overwrite = values.overwrite ? 1 : 0;
    options.recreate = values.recreate ? 1 : 0;
    options.password = values.password;
    if (values.operationIndex >= 0 && static_cast<size_t>(values.operationIndex) < ExtractOperations.size())
        commandId = ExtractOperations[static_cast<size_t>(values.operationIndex)];

    ZipEngineSession session(services.ui, services.engines, settings);
    session.applyUnzipOptions(options);
    session.setDestination(destinationOf(values.destinationDirectory));

    std::string specification = "*.*";
    if (values.filesToExtract == FilesToExtract::Selected) {
        SelectionSource::ItemList list = selection.buildSelectionList();
        if (list.count <= 0) {
            MessageBoxRequest problem;
            problem.text = "Unable to create an UNZIP List.\n\n";
            services.ui.showMessage(problem);
            return 0;
        }
        specification = list.text;
    } else if (values.filesToExtract == FilesToExtract::Typed) {
        specification = values.fileSpecification;
    }
    return session.runUnzip(document.path(), specification, commandId);
}

} // namespace quarvo
