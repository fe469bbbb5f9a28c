#pragma once

#include "core/launch/LaunchState.h"

#include <array>
#include <cstdint>
#include <string>

namespace quarvo {

class Document;
class View;

namespace OpenItemKind {
constexpr int LaunchedFile = 0;
constexpr int ZipInZip = 1;        // opened as an archive window of its own
constexpr int ZipInZipClosing = 2; // that window's document is being closed
constexpr int JobFile = 4;         // opened as a job-file window
} // namespace OpenItemKind

namespace OpenItemStage {
constexpr int Idle = 0;
constexpr int ExtractedForViewing = 1;
constexpr int ExtractedForRunning = 2;
constexpr int Watched = 3; // launched or opened, waiting for it to end
} // namespace OpenItemStage

// One viewed, run or opened copy of an archive entry. It lives in the process-wide OpenItemList from
// the request until the copy is cleaned up; the entry it came from points back to it.
struct OpenItem {
    // The launcher's state: the result of the last launch, the watched process and the command line.
    LaunchState launch;
    // The listing the entry was opened from and the archive document it belongs to.
    View* view = nullptr;
    Document* document = nullptr;
    // The entry as it was extracted, to tell whether the copy changed.
    uint64_t entrySize = 0;
    uint32_t dosTime = 0;
    uint32_t dosDate = 0;
    uint32_t crc32 = 0;
    uint32_t method = 0;
    int kind = OpenItemKind::LaunchedFile;
    // The entry's stored name, possibly with a relative path.
    std::string name;
    // The edited command line of Run; empty for View.
    std::string commandLine;
    // Where the entry was extracted to (or the check-out directory), without a trailing "/".
    std::string tempDirectory;
    // tempDirectory is the item's own private directory, made for it and removed with it; false
    // while it is the check-out directory or nothing was extracted yet.
    bool ownsDirectory = false;
    // The changed copy could not be kept elsewhere, so its private directory stays.
    bool keepDirectory = false;
    // The password the entry was extracted with; the changed copy goes back encrypted with it.
    std::string password;
    int stage = OpenItemStage::Idle;
    // The archive was freshened from the changed copy.
    bool updated = false;
    // Its program ended at once with the copy unchanged, as one that handed the file over to an
    // instance already running does: the copy is watched for a change instead.
    bool handedOff = false;
    // Further files to delete when the item advances or closes; empty unless set.
    std::array<std::string, 3> extraTemporaryFiles;
    // Read by the launcher.
    std::string alternateFileName;
    bool useAlternateFileName = false;

    // tempDirectory + "/" + name: the copy on disk.
    std::string fullTemporaryPath() const { return tempDirectory + "/" + name; }
};

} // namespace quarvo
