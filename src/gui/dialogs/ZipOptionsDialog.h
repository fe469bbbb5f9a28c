#pragma once

#include "gui/dialogs/OptionsDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quarvo::gui {

// "ZIP Options": the compression defaults. Checking "&Recurse Subdirectories" also checks
// "Store &Path" and unchecking "Store &Path" also unchecks it, because recursing without the
// directory names would put files of the same name on top of each other. "Backup Entire Drive" is
// offered only while a span option is chosen. Beside the password, "Encryption :" chooses how it
// encrypts: "Traditional" (every unzip reads it, but it is weak) or "AES-256". The password and the
// backup flag live for the run only; Save writes every other value.
class ZipOptionsDialog : public OptionsDialog {
    Q_OBJECT
  public:
    explicit ZipOptionsDialog(AppSettings& settings, QWidget* parent = nullptr);

    QComboBox* methodList() const { return m_method; }
    QComboBox* spanList() const { return m_span; }
    QCheckBox* addByDateBox() const { return m_addByDate; }
    QLineEdit* dateField() const { return m_date; }
    QLineEdit* passwordField() const { return m_password; }
    QComboBox* encryptionList() const { return m_encryption; }
    QCheckBox* storePathBox() const { return m_storePath; }
    QCheckBox* oldAsLatestBox() const { return m_oldAsLatest; }
    QCheckBox* recurseBox() const { return m_recurse; }
    QCheckBox* backupBox() const { return m_backup; }
    QCheckBox* editCommentBox() const { return m_editComment; }
    QCheckBox* systemFilesBox() const { return m_systemFiles; }
    QLineEdit* tempFileField() const { return m_tempFile; }

  protected:
    void loadControls() override;
    void takeOverControls() override;
    void saveGroup() override;

  private:
    QComboBox* m_method;
    QComboBox* m_span;
    QCheckBox* m_addByDate;
    QLineEdit* m_date;
    QLineEdit* m_password;
    QComboBox* m_encryption;
    QCheckBox* m_storePath;
    QCheckBox* m_oldAsLatest;
    QCheckBox* m_recurse;
    QCheckBox* m_backup;
    QCheckBox* m_editComment;
    QCheckBox* m_systemFiles;
    QLineEdit* m_tempFile;
};

// Couples a recurse box to a store-path box as the compress dialogs do: the user checking recurse
// checks store path, the user unchecking store path unchecks recurse.
void coupleRecurseAndStorePath(QCheckBox* recurse, QCheckBox* storePath);

} // namespace quarvo::gui
