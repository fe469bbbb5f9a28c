#pragma once

#include "gui/dialogs/CentredDialog.h"

#include <string>

class QLineEdit;
class QPushButton;

namespace quarvo::gui {

// "Password": asks for the password of one encrypted entry, named above the field. OK closes it
// with DialogResult::Ok, Cancel with Cancel.
class PasswordDialog : public CentredDialog {
    Q_OBJECT
  public:
    explicit PasswordDialog(const std::string& entryName, QWidget* parent = nullptr);

    std::string password() const;

    QLineEdit* passwordField() const { return m_password; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;
    void reject() override;

  private:
    QLineEdit* m_password;
    QPushButton* m_ok;
};

} // namespace quarvo::gui
