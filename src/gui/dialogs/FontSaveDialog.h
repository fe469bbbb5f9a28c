#pragma once

#include <QFontDialog>

class QPushButton;

namespace quarvo::gui {

// The listings' font chooser ("Font"): the usual font dialog with a "&Save" button beside OK.
// "&Save" closes the dialog exactly as OK does and also marks it saved; the caller writes the font
// to the profile only then, while OK changes it for this run.
class FontSaveDialog : public QFontDialog {
    Q_OBJECT
  public:
    explicit FontSaveDialog(const QFont& initial, QWidget* parent = nullptr);

    bool saved() const { return m_saved; }
    QPushButton* saveButton() const { return m_save; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPushButton* m_save = nullptr;
    bool m_saved = false;
};

} // namespace quarvo::gui
