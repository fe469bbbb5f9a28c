#include "gui/dialogs/FontSaveDialog.h"

#include "gui/dialogs/CentredDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>

namespace quarvo::gui {

FontSaveDialog::FontSaveDialog(const QFont& initial, QWidget* parent) : QFontDialog(initial, parent)
{
    setWindowTitle(QStringLiteral("Font"));
    // The widget-based dialog, so the button can join its button row on every platform.
    setOption(QFontDialog::DontUseNativeDialog);
    auto* buttons = findChild<QDialogButtonBox*>();
    if (!buttons)
        return;
    // An action button of its own, so the flag is set before the dialog closes and anyone told of
    // the closing sees it.
    m_save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::ActionRole);
    connect(m_save, &QPushButton::clicked, this, [this] {
        m_saved = true;
        accept();
    });
}

void FontSaveDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        m_saved = false;
        centreOnParent(this);
    }
    QFontDialog::showEvent(event);
}

} // namespace quarvo::gui
