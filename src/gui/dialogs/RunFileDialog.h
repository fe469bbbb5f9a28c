#pragma once

#include "gui/dialogs/CentredDialog.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvo::gui {

// "Run File": a message on a line of its own above "Command Line:", the command line in an edit
// field of any length, and "&Execute", "&Cancel" and "&Help". "&Execute" closes it with
// DialogResult::Ok, "&Cancel" with Cancel.
class RunFileDialog : public CentredDialog {
    Q_OBJECT
  public:
    RunFileDialog(const std::string& message, const std::string& commandLine, QWidget* parent = nullptr);

    std::string commandLine() const;

    QLabel* messageLabel() const { return m_message; }
    QLineEdit* commandLineField() const { return m_commandLine; }
    QPushButton* executeButton() const { return m_execute; }

    void accept() override;
    void reject() override;

  signals:
    void helpRequested();

  private:
    QLabel* m_message;
    QLineEdit* m_commandLine;
    QPushButton* m_execute;
};

} // namespace quarvo::gui
