#include "gui/listing/FontSaveDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace quarvo::gui {

FontSaveDialog::FontSaveDialog(const QFont& initial, QWidget* parent) : QFontDialog(initial, parent)
{
    setWindowTitle(QStringLiteral("Font"));
    // The platform's own chooser has no room for a third closing button.
    setOption(QFontDialog::DontUseNativeDialog);
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        // Marked before the button box closes the dialog.
        m_saveButton = new QPushButton(QStringLiteral("&Save"), buttons);
        connect(m_saveButton, &QPushButton::clicked, this, [this] { m_save = true; });
        buttons->addButton(m_saveButton, QDialogButtonBox::AcceptRole);
    }
}

std::optional<FontSaveDialog::Choice> FontSaveDialog::ask(const QFont& initial, QWidget* parent)
{
    FontSaveDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Choice{dialog.selectedFont(), dialog.savedChosen()};
}

} // namespace quarvo::gui
