// quarvo-cli: the archive commands of Quarvo without a window, for scripts and terminals.

#include "cli/ArchiveCommands.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleReporter.h"
#include "cli/ConvertCommands.h"
#include "cli/JobCommand.h"
#include "cli/ListCommand.h"
#include "cli/PasswordInput.h"
#include "cli/TarCommands.h"
#include "engines/api/EngineResult.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace quarvo;
    using namespace quarvo::cli;

    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    Result<CliRequest> request = parseCommandLine(arguments);
    if (!request) {
        std::fprintf(stderr, "quarvo-cli: %s\nTry 'quarvo-cli --help' for more information.\n",
                     request.error().message.c_str());
        return EngineResult::BadArgument;
    }
    if (Result<Ok> password = resolvePassword(*request, stdin, stderr, std::getenv(PasswordVariable)); !password) {
        std::fprintf(stderr, "quarvo-cli: %s\n", password.error().message.c_str());
        return EngineResult::BadArgument;
    }
    if (request->passwordSource == PasswordSource::Argument)
        hidePasswordInArguments(argc, argv, request->password);
    switch (request->command) {
    case CliCommand::Help: {
        const std::string_view usage = usageText();
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return std::fflush(stdout) == 0 ? EngineResult::Ok : EngineResult::WriteError;
    }
    case CliCommand::List: {
        const ArchiveKind kind = detectArchiveKind(request->archive);
        if (kind == ArchiveKind::Zip)
            return runList(*request, stdout, stderr);
        ConsoleReporter reporter(stderr);
        const uint16_t result = runTarList(*request, kind, stdout, reporter);
        if (result == EngineResult::Warning)
            reporter.line("quarvo-cli: done, with warnings (see above)");
        reporter.finish();
        return result;
    }
    case CliCommand::Job:
        return runJobCommand(request->archive);
    case CliCommand::Convert:
    case CliCommand::Repair: {
        ConsoleReporter reporter(stderr);
        const uint16_t result = request->command == CliCommand::Convert ? runConvert(*request, reporter)
                                                                         : runRepair(*request, reporter);
        reporter.finish();
        return result;
    }
    default: {
        ConsoleReporter reporter(stderr);
        const uint16_t result = runArchiveCommand(*request, reporter);
        reporter.finish();
        return result;
    }
    }
}
