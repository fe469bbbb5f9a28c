#pragma once

#include <cstdint>
#include <string>

namespace quarvo {

struct OpenItem;
struct ZipDocumentServices;

// The engine runs behind viewing, running and checking out the entries of a ZIP archive, each one
// operation of the engine session.

// Extracts the item's entry alone into item.tempDirectory with its password, replacing what is
// there and recreating its stored directories, without path recursion. True when the engine
// succeeded; it has told the user otherwise.
bool extractZipEntryCopy(ZipDocumentServices& services, const std::string& archivePath, const OpenItem& item);

// Extracts the entries the item specification picks into directory as a copy is extracted (replacing
// files, recreating the stored directories, no path recursion), with password. Returns the engine's
// result.
uint16_t extractZipEntries(ZipDocumentServices& services, const std::string& archivePath,
                           const std::string& specification, const std::string& directory,
                           const std::string& password);

// Extracts every entry into directory in the same way, with password. Returns the engine's result.
uint16_t extractZipArchive(ZipDocumentServices& services, const std::string& archivePath,
                           const std::string& directory, const std::string& password);

// Puts the item's changed copy back in place of its entry, whatever the copy's time: an edit within
// the same two-second tick as the entry is newer too, which a freshen would not see. The entry's
// method is the compression level (a stored entry is stored again) and its password encrypts it
// again, with AES-256 when it came with AES. Only the named file is taken, found directly below the item's
// directory, so nothing else there goes in. True when the engine succeeded.
bool putBackZipEntryCopy(ZipDocumentServices& services, const std::string& archivePath, const OpenItem& item);

} // namespace quarvo
