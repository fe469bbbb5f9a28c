#pragma once

#include "core/documents/ArchiveEntrySource.h"

#include <optional>

namespace quarvo {

// An open archive as its window sees it, ZIP or TAR: the source of the entry commands, and the
// archive's own commands that every archive window offers. Refresh is the source's reload().
class ArchiveDocument : public ArchiveEntrySource {
  public:
    // Whether the document's guard allows the command now; nothing when the command is not one the
    // document decides on.
    virtual std::optional<bool> isCommandEnabled(int commandId) const = 0;
    // The archive's info dialog.
    virtual void showInfo() = 0;
    // Asks, then deletes the archive file and closes the document. False when it was not deleted.
    [[nodiscard]] virtual bool deleteArchive() = 0;
};

// Whether a command every archive document enables alike is enabled: Refresh and Info always, Save
// never, Delete and Show Parent as the archive is or is not nested; nothing for other commands.
std::optional<bool> sharedArchiveCommandState(int commandId, bool nested);

} // namespace quarvo
