#pragma once

#include <QFontDialog>

#include <optional>

namespace quarvo::gui {

// The listing's font chooser: the font dialog with a "&Save" button that closes it like OK and
// marks the choice to be kept in the settings as well.
class FontSaveDialog : public QFontDialog {
    Q_OBJECT
public:
    struct Choice {
        QFont font;
        bool save = false;
    };

    explicit FontSaveDialog(const QFont& initial, QWidget* parent = nullptr);

    bool savedChosen() const { return m_save; }
    QPushButton* saveButton() const { return m_saveButton; }

    // Runs the dialog; the chosen font and whether "&Save" closed it, nothing on Cancel.
    static std::optional<Choice> ask(const QFont& initial, QWidget* parent);

private:
    QPushButton* m_saveButton = nullptr;
    bool m_save = false;
};

} // namespace quarvo::gui
