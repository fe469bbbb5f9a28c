#include "core/zip/DirectoryError.h"

#include "core/base/ByteReader.h"
#include "core/zip/ZipFormat.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace quarvo {

namespace {

constexpr const char* JoinTheParts = "join its parts into one archive to read it.";

std::string damagedHeaderText(const DirectoryError& error)
{
    std::string text = "The central directory is damaged at entry " + std::to_string(error.entry);
    if (!error.detail.empty())
        text += ": " + error.detail;
    return text + ".";
}

} // namespace

std::string describeDirectoryError(const DirectoryError& error)
{
    switch (error.problem) {
    case DirectoryProblem::CannotOpen:
        if (error.systemError == ENOENT)
            return "The file does not exist.";
        return "The file cannot be opened: " + std::string(std::strerror(error.systemError)) + ".";
    case DirectoryProblem::NotAFile:
        return "This is a directory or a device, not a file.";
    case DirectoryProblem::CannotRead:
        return "The archive cannot be read.";
    case DirectoryProblem::Empty:
        return "The file is empty.";
    case DirectoryProblem::NotZip:
        return "This is not a ZIP archive: it has no end of central directory record.";
    case DirectoryProblem::FirstSplitPart:
        return std::string("This is the first part of a split archive; ") + JoinTheParts;
    case DirectoryProblem::TruncatedOrPart:
        return "The archive is truncated, or is one part of a split archive: its end of central directory "
               "record is missing.";
    case DirectoryProblem::LastSplitPart:
        return std::string("This is the last part of a split archive (a set spread over several disks or "
                           "files); ") +
               JoinTheParts;
    case DirectoryProblem::DisksNotInserted:
        return "Not every disk of the set was inserted.";
    case DirectoryProblem::Zip64RecordMissing:
        return "This is a ZIP64 archive whose ZIP64 end of central directory record is missing or damaged.";
    case DirectoryProblem::DirectoryNotFound:
        return "The central directory is damaged: no end of central directory record points at it.";
    case DirectoryProblem::DamagedHeader:
        return damagedHeaderText(error);
    case DirectoryProblem::DamagedEndRecord:
        return "The end of central directory record is damaged: it runs past the end of the file.";
    case DirectoryProblem::EntryCountMismatch:
        return "The central directory is damaged: it holds " + std::to_string(error.entriesFound) +
               " entries, its end record counts " + std::to_string(error.entriesCounted) + ".";
    }
    return "The central directory cannot be read.";
}

DirectoryError directoryErrorOf(const OpenError& error)
{
    if (error.systemError == 0)
        return {.problem = DirectoryProblem::NotAFile};
    return {.problem = DirectoryProblem::CannotOpen, .systemError = error.systemError};
}

DirectoryProblem classifyFileWithoutEndRecord(ByteSource& source)
{
    if (source.size() == 0)
        return DirectoryProblem::Empty;
    std::array<uint8_t, 4> first{};
    if (source.readAt(0, first) != first.size())
        return DirectoryProblem::NotZip;
    // Info-ZIP's zip -s begins the first part of a split set with the marker. An archive cut short
    // begins with the local header of its first entry, and so may a later part of a set.
    const uint32_t signature = ByteReader(first).readLE32();
    if (signature == zipformat::SpannedArchiveMarker)
        return DirectoryProblem::FirstSplitPart;
    if (signature == zipformat::LocalHeaderSignature)
        return DirectoryProblem::TruncatedOrPart;
    return DirectoryProblem::NotZip;
}

} // namespace quarvo
