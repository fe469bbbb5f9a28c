#include "gui/tar/TarWindow.h"

#include "core/app/CommandIds.h"
#include "core/tar/TarDocument.h"
#include "core/tar/TarExtractCommand.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingSelection.h"
#include "gui/tar/TarListingSource.h"

namespace quarvo::gui {

TarWindow::TarWindow(TarDocument& document, AppSettings& settings, QWidget* parent)
    : ArchiveWindow(document, std::make_unique<TarListingSource>(document), settings, parent)
{
}

TarDocument* TarWindow::tar() const
{
    return static_cast<TarDocument*>(archive());
}

std::optional<CommandTarget::CommandWords> TarWindow::commandWords(int id) const
{
    switch (id) {
    case CommandId::DeleteZipFile:
        return CommandWords{QStringLiteral("&Delete TAR File..."), QKeySequence(QStringLiteral("Ctrl+D"))};
    case CommandId::TestIntegrity:
        return CommandWords{QStringLiteral("&Test TAR File Integrity"), {}};
    default:
        return std::nullopt;
    }
}

void TarWindow::runExtractCommand(int id)
{
    (void)extractTarEntries(*tar(), id, ListingSelection(pane().listing()));
}

ListingPrintout TarWindow::printoutHeading() const
{
    return ListingPrintout{PrintedListingKind::Tar, tar()->path(), {}, {}};
}

} // namespace quarvo::gui
