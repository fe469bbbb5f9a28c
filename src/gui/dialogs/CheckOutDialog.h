#pragma once

#include "core/ui/CheckOutDialogValues.h"
#include "gui/dialogs/CentredDialog.h"

class QLineEdit;
class QPushButton;

namespace quarvo {
class UserInterface;
}

namespace quarvo::gui {

class DirectoryChooser;

// "Check Out": the directory to check an archive out to and the "&Password:". OK checks the
// directory (offering to create a missing one) and closes with DialogResult::Ok.
class CheckOutDialog : public CentredDialog {
    Q_OBJECT
  public:
    CheckOutDialog(const CheckOutDialogValues& values, UserInterface& ui, QWidget* parent = nullptr);

    const CheckOutDialogValues& values() const { return m_values; }

    void accept() override;
    void reject() override;

    DirectoryChooser* directoryChooser() const { return m_directory; }
    QLineEdit* passwordField() const { return m_password; }
    QPushButton* okButton() const { return m_ok; }

  signals:
    void helpRequested();

  private:
    CheckOutDialogValues m_values;
    UserInterface& m_ui;
    DirectoryChooser* m_directory;
    QLineEdit* m_password;
    QPushButton* m_ok;
};

} // namespace quarvo::gui
