#pragma once

#include <string>

namespace quarvo {

// Why a conversion failed. Every failure leaves the target as it was and no partial file.
enum class ConvertFailure {
    CannotCreateOutput, // no temporary file could be made beside the target
    WriteFailed,        // writing, flushing or renaming the new file failed (a full disk)
    SourceUnreadable,   // the archive could not be opened or read to the end
    NotAnArchive,       // no end record, or none whose directory is where it says
    SpannedArchive,     // the archive is the last part of a set spanning disks
    DamagedArchive,     // a record is missing, truncated, overlaps another or lies past its place
    BadDosStub,         // the DOS program is no usable MS-DOS program
    BadWindowsImage,    // the Windows image record or its "NE" tables are malformed
    MissingExtractor,   // the Linux extractor program is not there
    TooLarge,           // a record would need more room than its fields have
};

struct ConvertError {
    ConvertFailure failure = ConvertFailure::DamagedArchive;
    // What exactly, for the second line of the message: the record, the field, the system's words.
    std::string detail;
};

// One line for the user: what failed, then the detail after a colon when there is one.
std::string describeConvertError(const ConvertError& error);

} // namespace quarvo
