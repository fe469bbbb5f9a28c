#include "gui/search/SearchCommands.h"

#include "core/app/CommandIds.h"
#include "gui/app/CommandRouter.h"
#include "gui/search/SearchZipDialog.h"

namespace quarvo::gui {

SearchCommands::SearchCommands(UserInterface& ui, OpenArchive openArchive, std::function<void()> showHelp)
    : m_ui(ui), m_openArchive(std::move(openArchive)), m_showHelp(std::move(showHelp))
{
}

SearchCommands::~SearchCommands()
{
    delete m_dialog.data();
}

void SearchCommands::registerWith(CommandRouter& router, DialogParent dialogParent)
{
    m_dialogParent = std::move(dialogParent);
    router.setHandler(CommandId::SearchZipFiles, {[this] { dialog().exec(); }, {}, {}, {}});
}

SearchZipDialog& SearchCommands::dialog()
{
    if (!m_dialog) {
        m_dialog = new SearchZipDialog(m_ui, m_openArchive, m_dialogParent ? m_dialogParent() : nullptr);
        QObject::connect(m_dialog, &SearchZipDialog::helpRequested, m_dialog, [this] {
            if (m_showHelp)
                m_showHelp();
        });
    }
    return *m_dialog;
}

} // namespace quarvo::gui
