#pragma once

namespace quarvo {

class ArchiveEntrySource;

// Show Parent (8053) of an archive, ZIP or TAR, opened from inside another: brings forward the
// listing of the parent archive it was opened from, or the parent's first listing when that one is
// gone (and remembers it). False when the document is not nested, its item or parent is gone, or no
// window shows the parent.
bool showParent(ArchiveEntrySource& archive);

} // namespace quarvo
