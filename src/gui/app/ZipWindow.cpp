#include "gui/app/ZipWindow.h"

#include "core/app/CommandIds.h"
#include "core/documents/AddFilesCommand.h"
#include "core/documents/ConvertCommand.h"
#include "core/documents/DeleteEntriesCommand.h"
#include "core/documents/ExtractCommand.h"
#include "core/documents/RepairCommand.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/ZipListingSource.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingSelection.h"

#include <algorithm>
#include <array>

namespace quarvo::gui {

namespace {

constexpr std::array conversionCommands = {CommandId::ConvertToZip, CommandId::ConvertToDosExe,
                                           CommandId::ConvertToWindowsExe, CommandId::ConvertToLinuxExtractor};

bool isConversionCommand(int id)
{
    return std::find(conversionCommands.begin(), conversionCommands.end(), id) != conversionCommands.end();
}

} // namespace

ZipWindow::ZipWindow(ZipDocument& document, AppSettings& settings, QWidget* parent)
    : ArchiveWindow(document, std::make_unique<ZipListingSource>(document), settings, parent)
{
}

ZipDocument* ZipWindow::zip() const
{
    return static_cast<ZipDocument*>(archive());
}

bool ZipWindow::isKindCommand(int id) const
{
    return CommandId::isAddCommand(id) || id == CommandId::DeleteEntries || isConversionCommand(id) ||
           id == CommandId::FixZipFile;
}

bool ZipWindow::isCommandEnabled(int id) const
{
    // Delete tells the user to select entries when none are.
    if (id == CommandId::DeleteEntries)
        return zip() != nullptr;
    return ArchiveWindow::isCommandEnabled(id);
}

bool ZipWindow::runCommandWithResult(int id)
{
    if (!CommandId::isAddCommand(id))
        return ArchiveWindow::runCommandWithResult(id);
    if (!handlesCommand(id) || !isCommandEnabled(id))
        return false;
    // A failed re-read after the write closes the document, and with it this window.
    bool added = addFiles(*zip(), id);
    if (zip())
        emit commandStatesChanged();
    return added;
}

void ZipWindow::runKindCommand(int id)
{
    if (CommandId::isAddCommand(id)) {
        (void)runCommandWithResult(id);
        return;
    }
    if (isConversionCommand(id)) {
        // The archive may be the target, or fail its re-read: either closes this window.
        (void)convertDocument(*zip(), id);
        return;
    }
    if (id == CommandId::FixZipFile) {
        // A failed re-read after the repair closes the document, and with it this window.
        (void)repairDocument(*zip());
        return;
    }
    // Deleting entries: the re-read that follows may close the document, and with it this window.
    deleteSelectedEntries(*zip(), ListingSelection(pane().listing()));
    if (zip())
        emit commandStatesChanged();
}

void ZipWindow::runExtractCommand(int id)
{
    // 3100 has no operation: the document's guard refuses it without a word.
    if (id == CommandId::ExtractNew) {
        (void)zip()->canRunCommand(id);
        return;
    }
    (void)extractEntries(*zip(), id, ListingSelection(pane().listing()));
}

ListingPrintout ZipWindow::printoutHeading() const
{
    return ListingPrintout{PrintedListingKind::Zip, zip()->path(), zip()->archive().archiveComment, {}};
}

} // namespace quarvo::gui
