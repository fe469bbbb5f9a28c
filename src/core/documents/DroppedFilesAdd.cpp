#include "core/documents/DroppedFilesAdd.h"

#include "core/app/CommandIds.h"
#include "core/dialogs/DroppedFiles.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/settings/AppSettings.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

bool addDroppedFiles(ZipDocument& document, int commandId, const std::vector<std::string>& lines)
{
    if (isEngineOperationRunning() || !CommandId::isAddCommand(commandId) ||
        !document.canRunCommand(commandId))
        return false;
    ZipDocumentServices& services = document.services();
    std::string rejected;
    std::optional<std::string> specification = itemSpecificationOf(lines, &rejected);
    if (!specification) {
        services.ui.showMessage(
            {quotedNameMessage(rejected), MessageButtons::Ok, MessageIcon::Warning, 0, {}});
        return false;
    }
    ZipEngineSession session(services.ui, services.engines, services.settings);
    session.applyZipOptions(services.settings.zipOptions);
    session.setLists({}, {});
    if (session.runZip(document.path(), *specification, commandId) != 0)
        return false;
    (void)document.checkFileChanged();
    return true;
}

} // namespace quarvo
