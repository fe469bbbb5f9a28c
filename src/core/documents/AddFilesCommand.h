#pragma once

namespace quarvo {

class ZipDocument;

// The add family (2150 add, 2250 update, 2300 freshen, 2400 move, 2450 move/update, 2500
// move/freshen): the add-files dialog, the file-list dialog (Cancel there returns to the add-files
// dialog), the comment dialog when the options ask for it, one compression engine run over the
// chosen directory, and a re-read of the archive when the engine succeeded.
//
// Returns true when the engine ran and returned 0. The re-read may fail, which closes the document;
// the caller must then not touch it (it no longer appears among the manager's documents).
bool addFiles(ZipDocument& document, int commandId);

} // namespace quarvo
