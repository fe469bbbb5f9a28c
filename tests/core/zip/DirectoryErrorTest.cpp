#include "core/zip/DirectoryError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace quarvo {
namespace {

using P = DirectoryProblem;

TEST(DirectoryError, EveryProblemHasItsOwnWords)
{
    struct Case {
        DirectoryError error;
        std::string text;
    };
    const Case cases[] = {
        {{.problem = P::CannotOpen, .systemError = ENOENT}, "The file does not exist."},
        // What a user who may not read the file is told; CI runs as root, where no file is refused.
        {{.problem = P::CannotOpen, .systemError = EACCES}, "The file cannot be opened: Permission denied."},
        {{.problem = P::CannotOpen, .systemError = EMFILE},
         "The file cannot be opened: Too many open files."},
        {{.problem = P::NotAFile}, "This is a directory or a device, not a file."},
        {{.problem = P::CannotRead}, "The archive cannot be read."},
        {{.problem = P::Empty}, "The file is empty."},
        {{.problem = P::NotZip}, "This is not a ZIP archive: it has no end of central directory record."},
        {{.problem = P::FirstSplitPart},
         "This is the first part of a split archive; join its parts into one archive to read it."},
        {{.problem = P::TruncatedOrPart},
         "The archive is truncated, or is one part of a split archive: its end of central directory "
         "record is missing."},
        {{.problem = P::LastSplitPart},
         "This is the last part of a split archive (a set spread over several disks or files); join its "
         "parts into one archive to read it."},
        {{.problem = P::DisksNotInserted}, "Not every disk of the set was inserted."},
        {{.problem = P::Zip64RecordMissing},
         "This is a ZIP64 archive whose ZIP64 end of central directory record is missing or damaged."},
        {{.problem = P::DirectoryNotFound},
         "The central directory is damaged: no end of central directory record points at it."},
        {{.problem = P::DamagedHeader, .entry = 3}, "The central directory is damaged at entry 3."},
        {{.problem = P::DamagedHeader, .entry = 1, .detail = "it runs past the end of the file"},
         "The central directory is damaged at entry 1: it runs past the end of the file."},
        {{.problem = P::DamagedEndRecord},
         "The end of central directory record is damaged: it runs past the end of the file."},
        {{.problem = P::EntryCountMismatch, .entriesFound = 2, .entriesCounted = 70000},
         "The central directory is damaged: it holds 2 entries, its end record counts 70000."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describeDirectoryError(c.error), c.text);
}

TEST(DirectoryError, AFileWithoutAnEndRecordIsToldByHowItBegins)
{
    struct Case {
        const char* rule;
        std::string bytes;
        DirectoryProblem problem;
    };
    const Case cases[] = {
        {"no bytes", "", P::Empty},
        {"the split marker, then a local header", std::string("PK\x07\x08PK\x03\x04", 8), P::FirstSplitPart},
        {"a local header", std::string("PK\x03\x04", 4) + std::string(40, '\0'), P::TruncatedOrPart},
        {"text", "just some words", P::NotZip},
        {"shorter than a signature", "PK", P::NotZip},
    };
    for (const Case& c : cases) {
        MemoryByteSource source({reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()});
        EXPECT_EQ(classifyFileWithoutEndRecord(source), c.problem) << c.rule;
    }
}

} // namespace
} // namespace quarvo
