#pragma once

#include "core/ui/AddFilesDialogValues.h"
#include "core/ui/CheckOutDialogValues.h"
#include "core/ui/ExtractDialogValues.h"
#include "core/ui/FileListDialogValues.h"
#include "core/ui/ZipFileInfo.h"

#include <string>

namespace quarvo {

// The dialogs of the archive commands, a port of their own beside UserInterface: the Qt layer builds
// them with the archive windows, the tests script them. Each takes a plain struct of its values,
// shows them and, on OK, writes the user's choices back; on any other answer the values are left as
// they were.
class ArchiveDialogs {
  public:
    virtual ~ArchiveDialogs() = default;

    // The add-files dialog; returns DialogResult::Ok or Cancel.
    virtual int editAddFiles(AddFilesDialogValues& values) = 0;

    // The file-list dialog that follows it; returns DialogResult::Ok or Cancel.
    virtual int editFileList(FileListDialogValues& values) = 0;

    // The "ZIP File Comment" dialog: a multi-line edit with "&Ok" and "&Cancel". Returns
    // DialogResult::Ok (comment holds the typed text, empty for none) or Cancel.
    virtual int editComment(std::string& comment) = 0;

    // The extract dialog; returns DialogResult::Ok or Cancel.
    virtual int editExtract(ExtractDialogValues& values) = 0;

    // The "Check Out" dialog; returns DialogResult::Ok or Cancel.
    virtual int editCheckOut(CheckOutDialogValues& values) = 0;

    // The modal "ZIP File Info" dialog; it has only a button to close it.
    virtual void showZipFileInfo(const ZipFileInfo& info) = 0;
};

} // namespace quarvo
