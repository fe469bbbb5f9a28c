#pragma once

#include "core/dialogs/FileListEditor.h"
#include "core/ui/FileListDialogValues.h"
#include "gui/dialogs/CentredDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quarvo {
class UserInterface;
}

namespace quarvo::gui {

class DirectoryTree;
class MountPointList;

// "Add To File": a file browser beside two lists, the files and filters to include and those to
// exclude. Lines are relative to the "&ZIP From:" directory unless "Full Path" is ticked. "E&xecute"
// closes with DialogResult::Ok and the lists in the values; Cancel leaves the values as they were.
class FileListDialog : public CentredDialog {
    Q_OBJECT
  public:
    FileListDialog(const FileListDialogValues& values, UserInterface& ui, QWidget* parent = nullptr);

    const FileListDialogValues& values() const { return m_values; }

    // Moves the browser to directory (as the user does in the tree).
    void browseTo(const QString& directory);
    // The browser's filter now in force.
    const QString& appliedFilter() const { return m_appliedFilter; }

    void accept() override;
    void reject() override;

    QLineEdit* filterField() const { return m_filter; }
    QLabel* zipFromLabel() const { return m_zipFrom; }
    QCheckBox* fullPathBox() const { return m_fullPath; }
    QListWidget* fileList() const { return m_files; }
    DirectoryTree* directoryTree() const { return m_tree; }
    QListWidget* includeList() const { return m_includeList; }
    QListWidget* excludeList() const { return m_excludeList; }
    QPushButton* addIncludeFilesButton() const { return m_addIncludeFiles; }
    QPushButton* addIncludeFilterButton() const { return m_addIncludeFilter; }
    QPushButton* deleteIncludeButton() const { return m_deleteInclude; }
    QPushButton* addExcludeFilesButton() const { return m_addExcludeFiles; }
    QPushButton* addExcludeFilterButton() const { return m_addExcludeFilter; }
    QPushButton* deleteExcludeButton() const { return m_deleteExclude; }
    QPushButton* expandButton() const { return m_expand; }
    QPushButton* executeButton() const { return m_execute; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using List = FileListEditor::List;

    QListWidget* widgetOf(List list) const;
    void directoryChanged(const QString& directory);
    void expand();
    bool filterButtonTakesFocus() const;
    void applyFilter(const QString& filter);
    void listFiles();
    void addFilter(List list);
    void addSelectedFiles(List list);
    void deleteSelectedLines(List list);
    void showLines(List list);

    FileListDialogValues m_values;
    FileListEditor m_editor;
    QString m_appliedFilter;
    QString m_lastCheckedFilter;

    QLabel* m_zipFrom;
    QLabel* m_currentDirectory;
    DirectoryTree* m_tree;
    QListWidget* m_files;
    MountPointList* m_mountPoints;
    QLineEdit* m_filter;
    QCheckBox* m_fullPath;
    QListWidget* m_includeList;
    QListWidget* m_excludeList;
    QPushButton* m_addIncludeFiles;
    QPushButton* m_addIncludeFilter;
    QPushButton* m_deleteInclude;
    QPushButton* m_addExcludeFiles;
    QPushButton* m_addExcludeFilter;
    QPushButton* m_deleteExclude;
    QPushButton* m_expand;
    QPushButton* m_execute;
};

} // namespace quarvo::gui
