#pragma once

#include "core/ui/ExtractDialogValues.h"
#include "gui/dialogs/CentredDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quarvo {
class AppSettings;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

class DirectoryChooser;
class UnzipOptionsDialog;
class UntarOptionsDialog;

// "Extract Files": the extract operation, which files ("&All Files", "&All Selected Files" when
// there is a selection to take, or "&Filters:" with a typed specification), the overwrite options,
// the password and the destination. "&Execute" checks the destination (offering to create a missing
// one) and closes with DialogResult::Ok. "Options..." opens the UNZIP Options dialog, or the UNTAR
// Options dialog for a TAR archive, on the dialog's current values.
class ExtractFilesDialog : public CentredDialog {
    Q_OBJECT
  public:
    ExtractFilesDialog(const ExtractDialogValues& values, UserInterface& ui, QWidget* parent = nullptr);

    // Enables "Options...": the single options dialogs and the settings they edit.
    void setOptionsDialogs(UnzipOptionsDialog* unzip, UntarOptionsDialog* untar, AppSettings* settings);

    const ExtractDialogValues& values() const { return m_values; }

    void accept() override;
    void reject() override;

    QComboBox* commandList() const { return m_command; }
    QRadioButton* allFilesButton() const { return m_allFiles; }
    QRadioButton* selectedFilesButton() const { return m_selectedFiles; }
    QRadioButton* filtersButton() const { return m_filters; }
    QLineEdit* filterField() const { return m_filter; }
    QCheckBox* overwriteBox() const { return m_overwrite; }
    QCheckBox* recreateBox() const { return m_recreate; }
    QLineEdit* passwordField() const { return m_password; }
    DirectoryChooser* directoryChooser() const { return m_directory; }
    QPushButton* executeButton() const { return m_execute; }
    QPushButton* optionsButton() const { return m_options; }

  signals:
    void helpRequested();

  private:
    void loadControls();
    void takeOverControls();
    void showOptions();

    ExtractDialogValues m_values;
    UserInterface& m_ui;
    UnzipOptionsDialog* m_unzipOptions = nullptr;
    UntarOptionsDialog* m_untarOptions = nullptr;
    AppSettings* m_settings = nullptr;

    QComboBox* m_command;
    QRadioButton* m_allFiles;
    QRadioButton* m_selectedFiles;
    QRadioButton* m_filters;
    QLineEdit* m_filter;
    QCheckBox* m_overwrite;
    QCheckBox* m_recreate;
    QLineEdit* m_password;
    DirectoryChooser* m_directory;
    QPushButton* m_execute;
    QPushButton* m_options;
};

} // namespace quarvo::gui
