#include "core/documents/ExtractDialogSetup.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/SelectionSource.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/MessageBoxRequest.h"
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

} // namespace

ExtractDialogValues initialExtractValues(std::string_view archivePath, int archiveKind, const AppSettings& settings,
                                         int commandId, int selectedCount, bool overwrite, bool recreate)
{
    ExtractDialogValues values;
    values.title = "Extract Files (" + std::string(fileNamePart(archivePath)) + ")";
    values.archiveKind = archiveKind;
    values.selectionAvailable = selectedCount >= 1 && selectedCount <= MaximumSelectedEntries;
    values.directoryHistory = settings.extractHistory;
    values.operationIndex = operationIndexOf(commandId);
    values.filesToExtract = values.selectionAvailable ? FilesToExtract::Selected : FilesToExtract::All;
    values.overwrite = overwrite;
    values.recreate = recreate;
    values.destinationDirectory = settings.extractHistory.front();
    return values;
}

int chosenExtractCommand(const ExtractDialogValues& values, int commandId)
{
    if (values.operationIndex >= 0 && static_cast<size_t>(values.operationIndex) < ExtractOperations.size())
        return ExtractOperations[static_cast<size_t>(values.operationIndex)];
    return commandId;
}

std::string extractDestinationOf(const std::string& directory)
{
    if (!directory.empty())
        return withTrailingSlash(directory);
    std::error_code error;
    std::string current = std::filesystem::current_path(error).string();
    return error ? std::string("./") : withTrailingSlash(current);
}

std::optional<std::string> chosenExtractSpecification(const ExtractDialogValues& values,
                                                      const SelectionSource& selection, UserInterface& ui,
                                                      std::string_view listName)
{
    int files = values.filesToExtract;
    if (files == FilesToExtract::Selected && !values.selectionAvailable)
        files = FilesToExtract::Typed;
    if (files == FilesToExtract::Typed)
        return values.fileSpecification;
    if (files != FilesToExtract::Selected)
        return std::string("*.*");
    SelectionSource::ItemList list = selection.buildSelectionList();
    if (list.count > 0)
        return list.text;
    MessageBoxRequest problem;
    problem.text = "Unable to create an " + std::string(listName) + " List.\n\n";
    ui.showMessage(problem);
    return std::nullopt;
}

} // namespace quarvo
