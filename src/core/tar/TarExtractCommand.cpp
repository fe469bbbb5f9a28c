#include "core/tar/TarExtractCommand.h"

#include "core/documents/ChosenDirectory.h"
#include "core/documents/ExtractDialogSetup.h"
#include "core/documents/SelectionSource.h"
#include "core/settings/AppSettings.h"
#include "core/tar/TarDocument.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"

namespace quarvo {

uint16_t extractTarEntries(TarDocument& document, int commandId, const SelectionSource& selection)
{
    TarDocumentServices& services = document.services();
    AppSettings& settings = services.settings;
    UntarOptions& options = settings.untarOptions;
    ExtractDialogValues values =
        initialExtractValues(document.path(), ArchiveKind::Tar, settings, commandId, selection.selectedCount(),
                             options.tarOverwrite != 0, options.tarRecreate != 0);
    if (services.dialogs.editExtract(values) != DialogResult::Ok)
        return 0;
    adoptChosenDirectory(settings.extractHistory, values.destinationDirectory);
    options.tarOverwrite = values.overwrite ? 1 : 0;
    options.tarRecreate = values.recreate ? 1 : 0;
    commandId = chosenExtractCommand(values, commandId);
    std::optional<std::string> specification =
        chosenExtractSpecification(values, selection, services.ui, "UNTAR");
    if (!specification)
        return 0;
    return document.extract(*specification, extractDestinationOf(values.destinationDirectory), commandId);
}

} // namespace quarvo
