#pragma once

#include "core/jobs/ZipJobDocument.h"
#include "gui/jobs/FormBindings.h"
#include "gui/jobs/JobWindow.h"

namespace quarvo::gui {

// The form of a ZIP job (".cfz"): the seven option boxes, the Command, Compression Method and Span
// Disk Options lists, the date, password, temporary directory, source directory, include and exclude
// lists, the archive with "Browse...", and the archive comment. As in the compress dialogs, checking
// "Recurse Subdirectories" checks "Store Path" and unchecking "Store Path" unchecks recursion;
// "Backup Entire Drive" is offered only while disks are spanned, the date only with "Add Files Dated
// From :", the comment only with "Edit Comment".
class ZipJobWindow : public JobWindow {
    Q_OBJECT
  public:
    ZipJobWindow(ZipJobDocument& document, UserInterface& ui, QWidget* parent = nullptr);

  protected:
    void loadForm() override;
    void storeForm() override;

  private:
    void updateEnabledControls();

    ZipJobDocument& job() const { return static_cast<ZipJobDocument&>(*m_job); }

    FormBindings<ZipJob> m_bindings;
    QCheckBox* m_addNewerFiles;
    QLineEdit* m_date;
    QCheckBox* m_backupEntireDrive;
    QCheckBox* m_editComment;
    QComboBox* m_spanDisks;
    QPlainTextEdit* m_comment;
};

} // namespace quarvo::gui
