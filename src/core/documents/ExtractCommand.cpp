#include "core/documents/ExtractCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/ExtractDialogSetup.h"
#include "core/documents/SelectionSource.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

uint16_t extractEntries(ZipDocument& document, int commandId, const SelectionSource& selection)
{
    // One engine operation at a time: a command started while one runs does nothing.
    if (isEngineOperationRunning())
        return SessionResult::Busy;
    if (!document.canRunCommand(commandId))
        return 0;
    ZipDocumentServices& services = document.services();
    AppSettings& settings = services.settings;
    UnzipOptions& options = settings.unzipOptions;
    ExtractDialogValues values = initialExtractValues(document.path(), ArchiveKind::Zip, settings, commandId,
                                                      selection.selectedCount(), options.overwrite != 0,
                                                      options.recreate != 0);
    values.password = options.password;
    if (services.dialogs.editExtract(values) != DialogResult::Ok)
        return 0;
    adoptChosenDirectory(settings.extractHistory, values.destinationDirectory);
    options.overwrite = values.overwrite ? 1 : 0;
    options.recreate = values.recreate ? 1 : 0;
    options.password = values.password;
    commandId = chosenExtractCommand(values, commandId);

    ZipEngineSession session(services.ui, services.engines, settings);
    session.applyUnzipOptions(options);
    session.setDestination(extractDestinationOf(values.destinationDirectory));
    std::optional<std::string> specification =
        chosenExtractSpecification(values, selection, services.ui, "UNZIP");
    if (!specification)
        return 0;
    return session.runUnzip(document.path(), *specification, commandId);
}

} // namespace quarvo
