#include "core/documents/RepairCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

namespace {

// One repair run; the engine ignores the function and the item specification while repairing.
uint16_t runRepair(ZipDocument& document, bool thorough)
{
    ZipDocumentServices& services = document.services();
    ZipEngineSession session(services.ui, services.engines, services.settings);
    session.zipCommand().repair = 1;
    session.zipCommand().thoroughRepair = thorough ? 1 : 0;
    return session.runZip(document.path(), "", CommandId::AddFiles);
}

} // namespace

bool repairDocument(ZipDocument& document)
{
    if (isEngineOperationRunning() || !document.canRunCommand(CommandId::FixZipFile))
        return false;
    const std::string path = document.path();
    const bool fixed = runRepair(document, false) == 0 || runRepair(document, true) == 0;
    MessageBoxRequest message;
    message.text = (fixed ? "Fixed " : "Unable to Fix ") + path + ".";
    document.services().ui.showMessage(message);
    (void)document.reload();
    return fixed;
}

} // namespace quarvo
