#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quarvo::gui {

// What tells one state of a file from another without reading it: which file it is (device and
// inode: an editor that saves by renaming a new file over the old one gives a new inode), its size
// and its modification time to the nanosecond.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of whatever path names itself, by lstat: a symbolic link is stamped as the link, never
// followed. nullopt when nothing is there (or it cannot be reached).
std::optional<FileStamp> stampOf(const std::string& path);

// Whether the file now differs from the one stamped before. A file that is missing now has not
// changed (yet): editors that save by deleting and re-creating leave it missing for a moment, and a
// file that is gone for good has nothing to be put back.
bool stampShowsChange(const FileStamp& before, const std::optional<FileStamp>& now);

} // namespace quarvo::gui
