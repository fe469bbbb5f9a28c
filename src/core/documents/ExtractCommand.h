#pragma once

#include <cstdint>

namespace quarvo {

class SelectionSource;
class ZipDocument;

// The extract family (3050 extract, 32782 update, 3150 freshen) and the integrity test (3500): the
// guard, the extract dialog (the selected entries may be chosen when 1 to 200 are selected), the
// chosen UNZIP options kept for the rest of the run, and one decompression engine run over all,
// the selected or the typed entries. The archive is not re-read.
//
// Returns the engine's result; 0 when the guard refused or the dialog was not answered OK;
// SessionResult::Busy, without asking anything, while another engine operation runs.
uint16_t extractEntries(ZipDocument& document, int commandId, const SelectionSource& selection);

} // namespace quarvo
