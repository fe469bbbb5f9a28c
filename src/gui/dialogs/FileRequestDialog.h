#pragma once

#include "core/ui/FileDialogRequest.h"

#include <QFileDialog>

#include <string>
#include <vector>

namespace quarvo::gui {

// The file dialog line for a filter: its description, with the patterns appended in parentheses
// when the description does not already name them ("All Archives" becomes "All Archives (*.zip
// *.exe ...)"), so the dialog shows the program's words and still filters.
QString nameFilterText(const FileDialogFilter& filter);

// A file dialog shown for a FileDialogRequest: "Open ZIP File" (several existing files) or "New ZIP
// File" (one name, asking before an existing file is replaced, the default extension added when
// the name has none). Filters compare ignoring letter case, so "*.zip" also lists "A.ZIP".
class FileRequestDialog : public QFileDialog {
    Q_OBJECT
  public:
    enum class Purpose { Open, Save };

    FileRequestDialog(const FileDialogRequest& request, Purpose purpose, QWidget* parent = nullptr);

    // The chosen files as full paths; empty unless the dialog was accepted.
    std::vector<std::string> chosenPaths() const;
};

} // namespace quarvo::gui
