#pragma once

#include "gui/dialogs/CentredDialog.h"

class QLayout;
class QPushButton;

namespace quarvo {
class AppSettings;
}

namespace quarvo::gui {

// The common frame of the options dialogs: one object of each for the whole run, editing the live
// settings. Every opening loads the controls from the settings as they are then. "&OK" takes the
// controls over and closes with DialogResult::Ok (nothing is written to the profile), "&Save" takes
// them over, writes the dialog's group to the profile and closes with DialogResult::Save, "Cancel"
// (or Escape) closes with DialogResult::Cancel and changes nothing. Callers treat Ok and Save alike.
class OptionsDialog : public CentredDialog {
    Q_OBJECT
  public:
    QPushButton* okButton() const { return m_ok; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }

    void reject() override;

  signals:
    void helpRequested();

  protected:
    OptionsDialog(AppSettings& settings, const QString& title, QWidget* parent);

    // Puts content above the row of buttons; called once by the derived constructor.
    void setContent(QLayout* content);

    virtual void loadControls() = 0;
    virtual void takeOverControls() = 0;
    virtual void saveGroup() = 0;

    void showEvent(QShowEvent* event) override;

    AppSettings& m_settings;

  private:
    void closeAccepting(int result);

    QPushButton* m_ok;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_help;
};

} // namespace quarvo::gui
