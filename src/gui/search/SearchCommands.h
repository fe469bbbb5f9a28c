#pragma once

#include "gui/search/SearchZipDialog.h"

#include <QPointer>

#include <functional>
#include <string>

class QWidget;

namespace quarvo {
class UserInterface;
}

namespace quarvo::gui {

class CommandRouter;

// File > "&Search ZIP Files...": the one Search ZIP Files dialog of the run, made on first use and
// kept, shown modally on the main window.
class SearchCommands {
  public:
    using OpenArchive = std::function<void(const std::string&)>;
    using DialogParent = std::function<QWidget*()>;

    SearchCommands(UserInterface& ui, OpenArchive openArchive, std::function<void()> showHelp);
    ~SearchCommands();

    void registerWith(CommandRouter& router, DialogParent dialogParent);
    // The dialog, made when first asked for.
    SearchZipDialog& dialog();

  private:
    UserInterface& m_ui;
    OpenArchive m_openArchive;
    std::function<void()> m_showHelp;
    DialogParent m_dialogParent;
    // Owned by its parent window when it has one, which may go first; by this object otherwise.
    QPointer<SearchZipDialog> m_dialog;
};

} // namespace quarvo::gui
