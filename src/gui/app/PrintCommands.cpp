#include "gui/app/PrintCommands.h"

#include "core/app/CommandIds.h"
#include "core/settings/AppSettings.h"
#include "core/ui/UserInterface.h"
#include "gui/app/CommandRouter.h"
#include "gui/app/DocumentWindow.h"
#include "gui/printing/PrintableListing.h"

#include <QPointer>

namespace quarvo::gui {

PrintCommands::PrintCommands(AppSettings& settings, UserInterface& ui) : m_settings(settings), m_ui(ui) {}

void PrintCommands::registerWith(CommandRouter& router, ActiveWindow activeWindow, DialogParent dialogParent)
{
    m_activeWindow = std::move(activeWindow);
    m_dialogParent = std::move(dialogParent);
    auto canPrint = [this] { return printableListing() != nullptr; };
    router.setHandler(CommandId::Print, {[this] { print(); }, canPrint, {}, {}});
    router.setHandler(CommandId::PrintPreview, {[this] { preview(); }, canPrint, {}, {}});
    router.setHandler(CommandId::PrintSetup, {[this] { m_printer.setUpPage(m_dialogParent()); }, {}, {}, {}});
}

PrintableListing* PrintCommands::printableListing() const
{
    auto* listing = dynamic_cast<PrintableListing*>(m_activeWindow());
    return listing && listing->canPrintListing() ? listing : nullptr;
}

ListingPrinter::PrintoutSource PrintCommands::activeListingSource() const
{
    QPointer<DocumentWindow> window = m_activeWindow();
    return [window]() -> std::optional<ListingPrintout> {
        auto* listing = dynamic_cast<PrintableListing*>(window.data());
        if (!listing || !listing->canPrintListing())
            return std::nullopt;
        return listing->listingPrintout();
    };
}

void PrintCommands::print()
{
    if (!printableListing())
        return;
    if (m_printer.print(activeListingSource(), m_dialogParent()) != ListingPrinter::Outcome::Failed)
        return;
    m_ui.showMessage({m_printer.failureText().toStdString(), MessageButtons::Ok, MessageIcon::Warning, 0, {}});
}

void PrintCommands::preview()
{
    if (printableListing())
        m_printer.preview(activeListingSource(), m_settings.previewPages, m_dialogParent());
}

} // namespace quarvo::gui
