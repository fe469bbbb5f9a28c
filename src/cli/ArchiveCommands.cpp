#include "cli/ArchiveCommands.h"

#include "cli/TarCommands.h"
#include "engines/api/EngineResult.h"
#include "engines/api/UnzipCommand.h"
#include "engines/api/ZipCommand.h"

#include <string_view>

namespace quarvo::cli {

namespace {

constexpr uint32_t DeleteCompressionLevel = 5;
constexpr uint16_t UnzipOptionBits = 2;

// What a failed run amounts to, said once after the engine's own messages about each entry.
std::string_view summaryOf(uint16_t result)
{
    switch (result) {
    case EngineResult::Warning:
        return "done, with warnings (see above)";
    case EngineResult::BadArchive:
        return "the archive cannot be read: see the reason above";
    case EngineResult::CannotOpenArchive:
        return "the archive cannot be opened";
    case EngineResult::OutOfMemory:
        return "out of memory";
    case EngineResult::CannotCreate:
        return "a file could not be created";
    case EngineResult::WriteError:
        return "writing failed";
    case EngineResult::CrcError:
        return "at least one entry is damaged (CRC or size mismatch)";
    case EngineResult::WrongPassword:
        return "the password is missing or wrong";
    case EngineResult::UnsupportedMethod:
        return "at least one entry uses an unsupported method or encryption";
    case EngineResult::BadArgument:
        return "the engine refused an argument";
    case EngineResult::EntriesSkipped:
        return "some entries were skipped";
    case EngineResult::Cancelled:
        return "cancelled; nothing was changed";
    case EngineResult::ReadError:
        return "a file could not be read";
    case EngineResult::TooLarge:
        return "a record would be larger than the ZIP format's fields can hold";
    default:
        return "failed";
    }
}

uint32_t zipFunctionOf(const CliRequest& request)
{
    if (request.command == CliCommand::Delete)
        return ZipFunction::Delete;
    switch (request.addMode) {
    case AddMode::Update:
        return ZipFunction::Update;
    case AddMode::Freshen:
        return ZipFunction::Freshen;
    case AddMode::Add:
        break;
    }
    return ZipFunction::Add;
}

uint16_t runZip(const CliRequest& request, const std::string& itemSpecification, ConsoleReporter& reporter)
{
    ZipCommand command;
    command.function = zipFunctionOf(request);
    command.archivePath = request.archive.c_str();
    command.itemSpecification = itemSpecification.c_str();
    reportTo(command, reporter);
    command.optionBits = ZipOptionBits::Default;
    if (request.command == CliCommand::Delete) {
        command.optionBits &= ~ZipOptionBits::Bit0;
        command.compressionLevel = DeleteCompressionLevel;
    } else {
        command.recurse = request.recurse;
        command.includeSystemAndHidden = request.includeHidden;
        command.compressionLevel = request.compressionLevel;
        command.noDirectoryNames = request.noDirectoryNames;
        command.deleteSourceFiles = request.move;
        command.encrypt = !request.password.empty();
        command.password = request.password.empty() ? nullptr : request.password.c_str();
        command.encryption = request.zipCrypto ? ZipEncryption::Traditional : ZipEncryption::Aes256;
    }
    return dzip(&command);
}

uint16_t runUnzip(const CliRequest& request, const std::string& itemSpecification, ConsoleReporter& reporter)
{
    UnzipCommand command;
    command.function = UnzipFunction::Extract;
    command.archivePath = request.archive.c_str();
    command.itemSpecification = itemSpecification.c_str();
    command.destinationDirectory = request.destination.c_str();
    command.testOnly = request.command == CliCommand::Test;
    command.overwrite = request.overwrite;
    command.noDirectoryNames = request.noDirectoryNames;
    command.reserved56 = 1;
    reportTo(command, reporter);
    command.decrypt = !request.password.empty();
    command.password = request.password.empty() ? nullptr : request.password.c_str();
    command.optionBits = UnzipOptionBits;
    return dunzip(&command);
}

} // namespace

uint16_t runArchiveCommand(const CliRequest& request, ConsoleReporter& reporter)
{
    const bool writes = request.command == CliCommand::Add || request.command == CliCommand::Delete;
    const std::string itemSpecification = itemSpecificationOf(request.names);
    const ArchiveKind kind = writes ? ArchiveKind::Zip : detectArchiveKind(request.archive);
    uint16_t result = EngineResult::Ok;
    if (writes)
        result = runZip(request, itemSpecification, reporter);
    else if (kind == ArchiveKind::Zip)
        result = runUnzip(request, itemSpecification, reporter);
    else
        result = runTarCommand(request, kind, reporter);
    if (result == EngineResult::NothingToDo)
        reporter.line("Nothing to do!");
    else if (result != EngineResult::Ok)
        reporter.line("quarvo-cli: " + std::string(summaryOf(result)));
    return result;
}

} // namespace quarvo::cli
