#pragma once

#include "gui/printing/ListingPrinter.h"

#include <functional>

class QWidget;

namespace quarvo {
class AppSettings;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

class CommandRouter;
class DocumentWindow;
class PrintableListing;

// Print, Print Preview and Print Setup. Print and Print Preview print the active window's listing
// when that window is a PrintableListing; Print Setup is always there. All three work on the one
// printer the application keeps.
class PrintCommands {
public:
    // The active document window (null when none) and the window the dialogs belong to.
    using ActiveWindow = std::function<DocumentWindow*()>;
    using DialogParent = std::function<QWidget*()>;

    PrintCommands(AppSettings& settings, UserInterface& ui);

    void registerWith(CommandRouter& router, ActiveWindow activeWindow, DialogParent dialogParent);
    ListingPrinter& printer() { return m_printer; }

private:
    // The active window's listing when it can be printed now; null otherwise.
    PrintableListing* printableListing() const;
    // The active window's listing, asked again whenever pages are drawn, for as long as that window
    // lives and has its document.
    ListingPrinter::PrintoutSource activeListingSource() const;
    void print();
    void preview();

    AppSettings& m_settings;
    UserInterface& m_ui;
    ListingPrinter m_printer;
    ActiveWindow m_activeWindow;
    DialogParent m_dialogParent;
};

} // namespace quarvo::gui
