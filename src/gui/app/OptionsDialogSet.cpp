#include "gui/app/OptionsDialogSet.h"

#include "gui/dialogs/UnzipOptionsDialog.h"
#include "gui/dialogs/ZipOptionsDialog.h"

namespace quarvo::gui {

OptionsDialogSet::OptionsDialogSet(AppSettings& settings, std::function<void()> showHelp)
    : m_settings(settings), m_showHelp(std::move(showHelp))
{
}

template <typename Dialog>
Dialog* OptionsDialogSet::dialog(QPointer<Dialog>& slot)
{
    if (!slot && m_parent) {
        slot = new Dialog(m_settings, m_parent);
        if (m_showHelp)
            QObject::connect(slot.data(), &OptionsDialog::helpRequested, slot.data(), m_showHelp);
    }
    return slot.data();
}

ZipOptionsDialog* OptionsDialogSet::zip()
{
    return dialog(m_zip);
}

UnzipOptionsDialog* OptionsDialogSet::unzip()
{
    return dialog(m_unzip);
}

UntarOptionsDialog* OptionsDialogSet::untar()
{
    return dialog(m_untar);
}

} // namespace quarvo::gui
