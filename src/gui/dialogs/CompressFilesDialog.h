#pragma once

#include "core/ui/AddFilesDialogValues.h"
#include "gui/dialogs/CentredDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quarvo {
class AppSettings;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

class DirectoryChooser;
class ZipOptionsDialog;

// "Compress Files": the add operation, the compression options and the directory to compress from.
// Spanning (and with it the whole-drive backup) is offered only for an archive on a removable drive
// that is not a self-extractor; otherwise the span list is disabled and says why. "&Continue..."
// checks the directory (offering to create a missing one) and closes with DialogResult::Ok; the
// values then hold the user's choices and the directory has moved to the top of the history.
// "Options..." opens the ZIP Options dialog on the dialog's current values.
class CompressFilesDialog : public CentredDialog {
    Q_OBJECT
  public:
    CompressFilesDialog(const AddFilesDialogValues& values, UserInterface& ui, QWidget* parent = nullptr);

    // Enables "Options...": the single ZIP Options dialog and the settings it edits.
    void setOptionsDialog(ZipOptionsDialog* dialog, AppSettings* settings);

    // The values as the dialog was opened with, or as the user accepted them.
    const AddFilesDialogValues& values() const { return m_values; }

    void accept() override;
    void reject() override;

    QComboBox* commandList() const { return m_command; }
    QComboBox* methodList() const { return m_method; }
    QComboBox* spanList() const { return m_span; }
    QCheckBox* backupBox() const { return m_backup; }
    QCheckBox* recurseBox() const { return m_recurse; }
    QCheckBox* storePathBox() const { return m_storePath; }
    QLineEdit* passwordField() const { return m_password; }
    DirectoryChooser* directoryChooser() const { return m_directory; }
    QPushButton* continueButton() const { return m_continue; }
    QPushButton* optionsButton() const { return m_options; }

  signals:
    void helpRequested();

  private:
    bool spanningOffered() const;
    void loadControls();
    void takeOverControls();
    void showOptions();

    AddFilesDialogValues m_values;
    UserInterface& m_ui;
    ZipOptionsDialog* m_optionsDialog = nullptr;
    AppSettings* m_settings = nullptr;

    QComboBox* m_command;
    QComboBox* m_method;
    QComboBox* m_span;
    QCheckBox* m_backup;
    QCheckBox* m_recurse;
    QCheckBox* m_storePath;
    QLineEdit* m_password;
    DirectoryChooser* m_directory;
    QPushButton* m_continue;
    QPushButton* m_options;
};

} // namespace quarvo::gui
