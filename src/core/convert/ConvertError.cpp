#include "core/convert/ConvertError.h"

namespace quarvo {

namespace {

const char* summaryOf(ConvertFailure failure)
{
    switch (failure) {
    case ConvertFailure::CannotCreateOutput:
        return "The new file cannot be created";
    case ConvertFailure::WriteFailed:
        return "Writing the new file failed";
    case ConvertFailure::SourceUnreadable:
        return "The archive cannot be read";
    case ConvertFailure::NotAnArchive:
        return "The file is not a ZIP archive";
    case ConvertFailure::SpannedArchive:
        return "The archive spans several disks";
    case ConvertFailure::DamagedArchive:
        return "The archive is damaged";
    case ConvertFailure::BadDosStub:
        return "The DOS program is not usable";
    case ConvertFailure::BadWindowsImage:
        return "The Windows program image is not usable";
    case ConvertFailure::MissingExtractor:
        return "The Linux extractor program is missing";
    case ConvertFailure::TooLarge:
        return "The archive is too large for this conversion";
    }
    return "The conversion failed";
}

} // namespace

std::string describeConvertError(const ConvertError& error)
{
    std::string text = summaryOf(error.failure);
    if (!error.detail.empty())
        text += ": " + error.detail;
    return text + ".";
}

} // namespace quarvo
