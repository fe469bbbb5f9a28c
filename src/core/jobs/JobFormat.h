#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quarvo {

// The job files: profile (INI) text with the sections and keys below. A ZIP job (".cfz") has an
// "Options" section with seventeen keys in a fixed order and a "Comment" section holding the archive
// comment one line per key ("0", "1", ...); an UNZIP job (".cfu") has "Options" with eight keys.
// Flags are written "1" or "0", indexes in decimal, texts unchanged.
namespace JobFormat {

constexpr std::string_view OptionsSection = "Options";
constexpr std::string_view CommentSection = "Comment";

// The longest text a job keeps in one of its values, and in one line of its comment, counted in
// characters. A longer value is refused, never shortened: a shortened path would name another file.
constexpr size_t MaximumValueLength = 259;
constexpr size_t MaximumCommentLineLength = 31999;
// A job file is a few short lines and a comment no archive may hold beyond 64 KiB; a file larger than
// this is no job file, and is not read into memory.
constexpr size_t MaximumFileSize = 1024 * 1024;

// The comment's lines are joined with CR LF in the job, as an archive comment stores them.
constexpr std::string_view CommentLineEnd = "\r\n";

namespace ZipKey {
constexpr std::string_view AddNewerFiles = "AddNewerFiles";
constexpr std::string_view BackupEntireDrive = "BackupEntireDrive";
constexpr std::string_view EditZipComment = "EditZIPComment";
constexpr std::string_view IncludeSystemHidden = "IncSysHiddenFiles";
constexpr std::string_view OldAsLatest = "OldAsLatest";
constexpr std::string_view RecurseSubdirs = "RecurseSubdirs";
constexpr std::string_view StorePath = "StorePath";
constexpr std::string_view Action = "Action";
constexpr std::string_view CompMethod = "CompMethod";
constexpr std::string_view SpanDisks = "SpanDisks";
constexpr std::string_view Date = "Date";
constexpr std::string_view Password = "Password";
constexpr std::string_view TempFilePath = "TempFilePath";
constexpr std::string_view Directory = "Directory";
constexpr std::string_view Exclude = "Exclude";
constexpr std::string_view Include = "Include";
constexpr std::string_view ZipFile = "ZIPFile";
} // namespace ZipKey

namespace UnzipKey {
constexpr std::string_view Overwrite = "Overwrite";
constexpr std::string_view Recreate = "Recreate";
constexpr std::string_view Recurse = "Recurse";
constexpr std::string_view Action = "Action";
constexpr std::string_view Password = "Password";
constexpr std::string_view Directory = "Directory";
constexpr std::string_view Include = "Include";
constexpr std::string_view ZipFile = "ZIPFile";
} // namespace UnzipKey

// How many entries the forms' lists have: a stored index outside a list is kept as stored and shows
// no selection.
constexpr int ZipActionCount = 6;   // Add, Update, Freshen, Move, Move/Update, Move/Freshen
constexpr int UnzipActionCount = 4; // Extract, Update, Freshen, and Test, which the form's list lacks

} // namespace JobFormat

} // namespace quarvo
