// quarvo-sfx: the program Quarvo puts in front of an archive to make a Linux self-extractor
// ("Convert to Linux Self-Extractor", quarvo-cli convert --to linux). Run as the archive itself:
//
//   ./archive.run [-d DIR] [-o] [-l] [-t]
//
// It reads the ZIP archive joined behind its own program through the dunzip engine, so extraction
// follows the engine's containment rules: every path is opened beneath DIR one component at a
// time, names that climb out of it (absolute, "..") or pass through links are refused, and a
// damaged entry leaves no file. The exit status is the engine's result (0 success, 7 CRC error...).

#include "cli/CommandLine.h"
#include "cli/ConsoleReporter.h"
#include "cli/ListCommand.h"
#include "engines/api/EngineResult.h"
#include "engines/api/UnzipCommand.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace quarvo;

constexpr std::string_view Usage = R"(Usage: %s [-d DIR] [-o] [-l] [-t]

This file is a ZIP archive joined to a program that extracts it. Without options it extracts
every entry into the current directory; unzip, 7z and Quarvo read it as a ZIP archive too.

  -d DIR   extract into DIR (created when missing) instead of the current directory
  -o       overwrite existing files without asking (they are skipped otherwise)
  -l       list the entries with their sizes, dates and CRCs
  -t       test every entry: decompress it and check its CRC, writing nothing
  -h       show this text
)";

constexpr uint16_t UnzipOptionBits = 2;

struct Options {
    std::string destination = ".";
    bool overwrite = false;
    bool list = false;
    bool test = false;
    bool help = false;
};

// Fails with a line for the user.
Result<Options> parseOptions(int argc, char** argv)
{
    Options options;
    int option = 0;
    opterr = 0;
    while ((option = ::getopt(argc, argv, "d:olth")) != -1) {
        switch (option) {
        case 'd':
            if (*optarg == '\0')
                return Error{"option '-d' needs a directory"};
            options.destination = optarg;
            break;
        case 'o':
            options.overwrite = true;
            break;
        case 'l':
            options.list = true;
            break;
        case 't':
            options.test = true;
            break;
        case 'h':
            options.help = true;
            break;
        default:
            return Error{optopt == 'd'
                             ? "option '-d' needs a directory"
                             : "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'"};
        }
    }
    if (optind < argc)
        return Error{"unexpected argument '" + std::string(argv[optind]) + "'"};
    if (options.list && options.test)
        return Error{"-l and -t cannot be combined"};
    return options;
}

// The file this program runs from: the archive. /proc/self/exe names it even when it was started
// through a link or from PATH.
std::string ownPath(const char* argument0)
{
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return argument0;
    path.resize(static_cast<size_t>(length));
    return path;
}

uint16_t extractOrTest(const std::string& archive, const Options& options, cli::ConsoleReporter& reporter)
{
    UnzipCommand command;
    command.function = UnzipFunction::Extract;
    command.archivePath = archive.c_str();
    command.itemSpecification = "*.*";
    command.destinationDirectory = options.destination.c_str();
    command.testOnly = options.test;
    command.overwrite = options.overwrite;
    command.reserved56 = 1;
    command.statusCallback = cli::ConsoleReporter::onStatus;
    command.statusCallbackData = &reporter;
    command.messageCallback = cli::ConsoleReporter::onMessage;
    command.messageCallbackData = &reporter;
    command.queryCallback = cli::ConsoleReporter::onQuery;
    command.queryCallbackData = &reporter;
    command.optionBits = UnzipOptionBits;
    return dunzip(&command);
}

} // namespace

int main(int argc, char** argv)
{
    const char* program = argc > 0 ? argv[0] : "quarvo-sfx";
    Result<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "%s: %s\nTry '%s -h' for more information.\n", program,
                     options.error().message.c_str(), program);
        return EngineResult::BadArgument;
    }
    if (options->help) {
        std::printf(Usage.data(), program);
        return EngineResult::Ok;
    }
    const std::string archive = ownPath(program);
    if (options->list) {
        cli::CliRequest request;
        request.command = cli::CliCommand::List;
        request.archive = archive;
        request.verbose = true;
        return cli::runList(request, stdout, stderr);
    }
    cli::ConsoleReporter reporter(stderr);
    const uint16_t result = extractOrTest(archive, *options, reporter);
    reporter.finish();
    return result;
}
