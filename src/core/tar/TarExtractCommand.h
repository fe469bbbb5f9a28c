#pragma once

#include <cstdint>

namespace quarvo {

class SelectionSource;
class TarDocument;

// The extract family of a TAR window (3050 extract, 32782 update, 3150 freshen, 3500 test): the
// "Extract Files" dialog in its TAR form, showing and writing back the UNTAR options' overwrite and
// recreate choices, then one run of the TAR engine over all, the selected or the typed entries.
// Returns the engine's result; 0 when the dialog was not answered OK.
uint16_t extractTarEntries(TarDocument& document, int commandId, const SelectionSource& selection);

} // namespace quarvo
