#pragma once

#include "core/ui/ExtractDialogValues.h"

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

class AppSettings;
class SelectionSource;
class UserInterface;

// What the extract family of a ZIP and of a TAR window share around the "Extract Files" dialog.

// The dialog as the command opens it: titled "Extract Files (NAME)", its operation preset from
// commandId, "All Selected Files" offered for 1 to 200 selected entries, the destination history,
// and the kind's own overwrite and recreate options.
ExtractDialogValues initialExtractValues(std::string_view archivePath, int archiveKind, const AppSettings& settings,
                                         int commandId, int selectedCount, bool overwrite, bool recreate);

// The command the operation chosen in the dialog stands for (extract, update, freshen, test).
int chosenExtractCommand(const ExtractDialogValues& values, int commandId);

// The directory to extract into, with its "/". An empty choice means the working directory, never
// the root.
std::string extractDestinationOf(const std::string& directory);

// The entries to extract: "*.*", the listing's selection list, or the typed specification. Nothing
// after telling the user "Unable to create an <listName> List." when the selection list cannot be
// built.
std::optional<std::string> chosenExtractSpecification(const ExtractDialogValues& values,
                                                      const SelectionSource& selection, UserInterface& ui,
                                                      std::string_view listName);

} // namespace quarvo
