#pragma once

namespace quarvo {

class ZipDocument;

// Fix (5150): rebuilds the archive's central directory with the compression engine, following the
// local records; when that fails, again with the thorough repair, which looks for local headers at
// every byte. Says "Fixed PATH." or "Unable to Fix PATH.", then re-reads the archive, which may close
// the document (the caller must then not touch it). Returns true when a repair succeeded.
bool repairDocument(ZipDocument& document);

} // namespace quarvo
