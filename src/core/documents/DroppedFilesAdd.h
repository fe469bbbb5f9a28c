#pragma once

#include <string>
#include <vector>

namespace quarvo {

class ZipDocument;

// Adds the files of the drag-and-drop compress dialog (lines as filesToCompressLines gives them) to
// the document's archive with one of the add family's commands, through one compression engine run
// with the ZIP options of the settings, and then lets the document check its file for changes,
// which re-reads it. Nothing runs while another engine operation does, when the document's guard
// refuses, or when a line holds a double quote (the user is told). Returns true when the engine ran
// and returned 0; the re-read may then have closed the document.
bool addDroppedFiles(ZipDocument& document, int commandId, const std::vector<std::string>& lines);

} // namespace quarvo
