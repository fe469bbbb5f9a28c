#include "core/documents/DeleteEntriesCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/SelectionSource.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

void deleteSelectedEntries(ZipDocument& document, const SelectionSource& selection)
{
    // One engine operation at a time: a command started while one runs does nothing.
    if (isEngineOperationRunning())
        return;
    if (!document.canRunCommand(CommandId::DeleteEntries))
        return;
    ZipDocumentServices& services = document.services();
    MessageBoxRequest question;
    question.text =
        "Are you sure you want to delete the selected files in the ZIP file?\n\n" + document.path();
    question.buttons = MessageButtons::YesNoCancel;
    question.icon = MessageIcon::Warning;
    question.defaultButton = DialogResult::No;
    if (services.ui.showMessage(question) != DialogResult::Yes)
        return;

    SelectionSource::ItemList list = selection.buildSelectionList();
    if (list.count <= 0) {
        MessageBoxRequest problem;
        // The list is built in memory: there is no list file whose name could follow.
        problem.text =
            list.count < 0 ? "Unable to create an Include File.\n\n" : "Select the file(s) to delete!";
        services.ui.showMessage(problem);
        return;
    }

    ZipEngineSession session(services.ui, services.engines, services.settings);
    if (session.runZip(document.path(), list.text, CommandId::DeleteEntries) == 0)
        (void)document.checkFileChanged();
}

} // namespace quarvo
