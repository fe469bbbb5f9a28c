#pragma once

#include "core/ui/ArchiveDialogs.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace quarvo::gui {

// The archive commands' dialogs with real widgets. The information and comment dialogs are built
// here; the Compress Files, file-list, Extract Files and Check Out dialogs belong to the dialogs library, and
// the application hands them in through setFileDialogs. Without them those dialogs answer Cancel.
class QtArchiveDialogs : public ArchiveDialogs {
public:
    struct FileDialogs {
        std::function<int(AddFilesDialogValues&, QWidget*)> editAddFiles;
        std::function<int(FileListDialogValues&, QWidget*)> editFileList;
        std::function<int(ExtractDialogValues&, QWidget*)> editExtract;
        std::function<int(CheckOutDialogValues&, QWidget*)> editCheckOut;
    };

    void setParentWindow(QWidget* parent) { m_parent = parent; }
    void setFileDialogs(FileDialogs dialogs) { m_fileDialogs = std::move(dialogs); }
    bool hasFileDialogs() const { return bool(m_fileDialogs.editAddFiles); }

    int editAddFiles(AddFilesDialogValues& values) override;
    int editFileList(FileListDialogValues& values) override;
    int editComment(std::string& comment) override;
    int editExtract(ExtractDialogValues& values) override;
    int editCheckOut(CheckOutDialogValues& values) override;
    void showZipFileInfo(const ZipFileInfo& info) override;

private:
    QPointer<QWidget> m_parent;
    FileDialogs m_fileDialogs;
};

} // namespace quarvo::gui
