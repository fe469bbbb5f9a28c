#pragma once

#include "gui/dropcompress/DropCompressDialog.h"

#include <string>
#include <vector>

namespace quarvo::gui {

class ZipApplication;

// What the program does with files dropped on the main window and with an Add request: shows the
// drag-and-drop compress dialog and, when it ends with a ZIP archive chosen, adds the files to it
// through the engine with the ZIP options of the settings. The paths travel as a list from the drop
// to the engine's item specification; nothing re-splits a text of names.
class DropCompressOffer {
  public:
    explicit DropCompressOffer(ZipApplication& application);

    // Offers paths for compression; archivePath, when not empty, names the archive to choose (an
    // Add request's, opened already). Returns true once the dialog has been shown.
    bool offer(const std::string& archivePath, const std::vector<std::string>& paths);

  private:
    std::vector<DropTarget> targets() const;
    Document* activeDocument() const;
    Document* createArchive();
    Document* openArchive();
    void showDocument(Document* document);

    ZipApplication& m_application;
};

} // namespace quarvo::gui
