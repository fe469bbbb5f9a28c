#include "cli/ConvertCommands.h"

#include "core/convert/ArchiveConverter.h"
#include "core/convert/BuiltInStubs.h"
#include "core/convert/LinuxExtractor.h"
#include "core/settings/ExecutableLocation.h"
#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"

#include <optional>
#include <vector>

namespace quarvo::cli {

namespace {

ConversionMode modeOf(const std::string& form)
{
    if (form == "dos")
        return ConversionMode::DosExe;
    if (form == "windows")
        return ConversionMode::WindowsExe;
    if (form == "linux")
        return ConversionMode::LinuxExtractor;
    return ConversionMode::Zip;
}

uint16_t resultOf(ConvertFailure failure)
{
    switch (failure) {
    case ConvertFailure::CannotCreateOutput:
        return EngineResult::CannotCreate;
    case ConvertFailure::WriteFailed:
        return EngineResult::WriteError;
    case ConvertFailure::SourceUnreadable:
        return EngineResult::CannotOpenArchive;
    case ConvertFailure::NotAnArchive:
    case ConvertFailure::SpannedArchive:
    case ConvertFailure::DamagedArchive:
        return EngineResult::BadArchive;
    case ConvertFailure::BadDosStub:
    case ConvertFailure::BadWindowsImage:
    case ConvertFailure::MissingExtractor:
        return EngineResult::BadArgument;
    case ConvertFailure::TooLarge:
        return EngineResult::TooLarge;
    }
    return EngineResult::BadArchive;
}

uint16_t runRepairPass(const CliRequest& request, bool thorough, ConsoleReporter& reporter)
{
    ZipCommand command;
    command.function = ZipFunction::Add;
    command.archivePath = request.archive.c_str();
    command.itemSpecification = "";
    command.repair = 1;
    command.thoroughRepair = thorough ? 1 : 0;
    reportTo(command, reporter);
    command.optionBits = ZipOptionBits::Default;
    return dzip(&command);
}

} // namespace

uint16_t runConvert(const CliRequest& request, ConsoleReporter& reporter)
{
    const ConversionMode mode = modeOf(request.convertTo);
    ConversionStubs stubs{builtInDosStub(), builtInWindowsImageRecord(), {}};
    std::optional<std::vector<uint8_t>> extractor;
    if (mode == ConversionMode::LinuxExtractor) {
        Result<std::vector<uint8_t>, ConvertError> loaded = loadLinuxExtractor(executableDirectory());
        if (!loaded) {
            reporter.line("quarvo-cli: " + describeConvertError(loaded.error()));
            return resultOf(loaded.error().failure);
        }
        extractor = std::move(*loaded);
        stubs.linuxExtractor = *extractor;
    }
    Result<Ok, ConvertError> converted = convertArchive(request.archive, request.names.front(), mode, stubs);
    if (!converted) {
        reporter.line("quarvo-cli: " + request.archive + ": " + describeConvertError(converted.error()));
        return resultOf(converted.error().failure);
    }
    return EngineResult::Ok;
}

uint16_t runRepair(const CliRequest& request, ConsoleReporter& reporter)
{
    uint16_t result = runRepairPass(request, false, reporter);
    if (result != EngineResult::Ok)
        result = runRepairPass(request, true, reporter);
    reporter.line((result == EngineResult::Ok ? "Fixed " : "Unable to Fix ") + request.archive + ".");
    return result;
}

} // namespace quarvo::cli
