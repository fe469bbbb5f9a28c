#include "cli/CommandLine.h"

#include <algorithm>
#include <array>

namespace quarvo::cli {

namespace {

// What each command accepts: its short option letters (":" after a letter that takes a value) and
// how many names must follow the archive.
struct CommandSyntax {
    std::string_view name;
    CliCommand command;
    std::string_view shortOptions;
    size_t minimumNames;
};

constexpr std::array<CommandSyntax, 8> Commands = {{
    {"list", CliCommand::List, "v", 0},
    {"test", CliCommand::Test, "p:", 0},
    {"extract", CliCommand::Extract, "d:ojp:", 0},
    {"add", CliCommand::Add, "rjp:012345678", 1},
    {"delete", CliCommand::Delete, "", 1},
    {"job", CliCommand::Job, "", 0},
    {"convert", CliCommand::Convert, "", 1},
    {"repair", CliCommand::Repair, "", 0},
}};

// The forms convert --to makes.
constexpr std::array<std::string_view, 4> ConversionForms = {"zip", "dos", "windows", "linux"};

constexpr std::string_view Usage = R"(Usage: quarvo-cli COMMAND [OPTIONS] ARCHIVE [NAMES...]

ARCHIVE is a ZIP archive, a TAR archive (plain, or compressed with gzip, compress, bzip2, xz, zstd
or lzip), or a single compressed file; list, test and extract tell which by its content. A
compressed file that holds no TAR archive unpacks to one file named after it (notes.gz gives notes).

Commands:
  list [-v] ARCHIVE             print the entry names; -v adds sizes, method, date, time and CRC
                                (for TAR: mode, size, date, time and link targets)
  test [-p PASSWORD] ARCHIVE [NAMES...]
                                decompress the named entries (all when none are named) and
                                check them, writing nothing
  extract [-d DIR] [-o] [-j] [-p PASSWORD] ARCHIVE [NAMES...]
                                extract the named entries (all when none are named)
  add [-r] [-j] [-0..-8] [-p PASSWORD] [--zipcrypto] [--update|--freshen] [--move] [--no-hidden]
      ARCHIVE FILES...
                                add files to a ZIP archive, creating it when it does not exist;
                                each file is stored under the path it was given by
  delete ARCHIVE NAMES...       remove the named entries from a ZIP archive
  job JOBFILE                   run a ZIP job (.cfz) or an UNZIP job (.cfu) made in Quarvo, as its
                                Execute does, without a window: for timers and scripts
  convert --to zip|dos|windows|linux ARCHIVE OUTPUT
                                write the ZIP archive to OUTPUT as a plain ZIP archive, behind a
                                DOS or Windows program (names become short MS-DOS names), or behind
                                a Linux program that extracts it: ./OUTPUT [-d DIR] [-l] [-t].
                                The DOS and Windows programs only say that the file is a ZIP
                                archive; they do not extract it. OUTPUT is replaced only once the
                                new file is whole
  repair ARCHIVE                rebuild a damaged ZIP archive's directory from its entries,
                                scanning every byte when following them fails
  help, -h, --help              show this text

Options:
  -d DIR       extract into DIR instead of the current directory
  -o           overwrite existing files without asking
  -j           junk directory names: store (add) or extract (extract) file names only
  -r           add the contents of directories, recursively
  -0 .. -8     0 stores without compression; 1 is fastest, 8 smallest; 5 by default
  -p PASSWORD  encrypt (add, with AES-256) or decrypt (test, extract) with PASSWORD. Other users
               can see a command line: prefer "-p -", which reads the password from standard
               input (a line; without echo on a terminal), or, for scripts, the environment
               variable QUARVO_PASSWORD, which is used when -p is not given
  --zipcrypto  encrypt with the traditional ZIP cipher, for old programs that cannot read AES;
               it is weak: the password can be recovered from the archive
  --update     add new files and replace entries whose file is newer
  --freshen    only replace entries whose file is newer; add nothing new
  --move       delete the files once they are in the archive
  --no-hidden  leave out files and directories whose names begin with a dot (-r takes them
               by default)
  -v           list with details; after the method "+" marks an AES-encrypted entry, "*" one
               encrypted with the traditional ZIP cipher

Messages go to standard error. The exit status is the engine's result: 0 success, 1 done with
warnings (data after the end of a compressed stream), 2 not an archive or damaged, 3 archive
cannot be opened, 5 cannot create, 6 write error, 7 CRC error, truncated or damaged data,
8 wrong password, 9 unsupported method, 10 bad argument (for job: the job file cannot be read or
used), 11 entries skipped (refused names or links, device nodes, existing files), 12 nothing to do,
13 cancelled, 14 read error, 15 too large.
)";

const CommandSyntax* findCommand(std::string_view name)
{
    for (const CommandSyntax& syntax : Commands) {
        if (syntax.name == name)
            return &syntax;
    }
    return nullptr;
}

bool isHelpOption(std::string_view argument)
{
    return argument == "-h" || argument == "--help";
}

class Parser {
  public:
    explicit Parser(const CommandSyntax& syntax) : m_syntax(syntax) { m_request.command = syntax.command; }

    Result<CliRequest> parse(const std::vector<std::string>& arguments);

  private:
    // Each returns an error text, empty when the argument was taken.
    std::string takeLongOption(const std::vector<std::string>& arguments, size_t& position);
    std::string takeConversionForm(const std::vector<std::string>& arguments, size_t& position);
    std::string takeShortOptions(const std::vector<std::string>& arguments, size_t& position);
    void setFlag(char letter);
    std::string setValue(char letter, const std::string& value);
    std::string finish(std::vector<std::string> positional);

    const CommandSyntax& m_syntax;
    CliRequest m_request;
    bool m_updateGiven = false;
    bool m_freshenGiven = false;
};

Result<CliRequest> Parser::parse(const std::vector<std::string>& arguments)
{
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t position = 1; position < arguments.size(); ++position) {
        const std::string& argument = arguments[position];
        std::string error;
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument.starts_with("--")) {
            error = takeLongOption(arguments, position);
        } else {
            error = takeShortOptions(arguments, position);
        }
        if (!error.empty())
            return Error{error};
    }
    if (std::string error = finish(std::move(positional)); !error.empty())
        return Error{error};
    return m_request;
}

std::string Parser::takeConversionForm(const std::vector<std::string>& arguments, size_t& position)
{
    const std::string& option = arguments[position];
    std::string value;
    if (option.starts_with("--to="))
        value = option.substr(5);
    else if (position + 1 < arguments.size())
        value = arguments[++position];
    else
        return "option '--to' needs a form: zip, dos, windows or linux";
    if (std::find(ConversionForms.begin(), ConversionForms.end(), value) == ConversionForms.end())
        return "unknown form '" + value + "' for convert: zip, dos, windows or linux";
    m_request.convertTo = value;
    return {};
}

std::string Parser::takeLongOption(const std::vector<std::string>& arguments, size_t& position)
{
    const std::string_view option = arguments[position];
    if (m_syntax.command == CliCommand::Convert && (option == "--to" || option.starts_with("--to=")))
        return takeConversionForm(arguments, position);
    if (m_syntax.command == CliCommand::Add) {
        if (option == "--update") {
            m_updateGiven = true;
            return {};
        }
        if (option == "--freshen") {
            m_freshenGiven = true;
            return {};
        }
        if (option == "--move") {
            m_request.move = true;
            return {};
        }
        if (option == "--no-hidden") {
            m_request.includeHidden = false;
            return {};
        }
        if (option == "--zipcrypto") {
            m_request.zipCrypto = true;
            return {};
        }
    }
    return "unknown option '" + std::string(option) + "' for " + std::string(m_syntax.name);
}

std::string Parser::takeShortOptions(const std::vector<std::string>& arguments, size_t& position)
{
    const std::string& cluster = arguments[position];
    for (size_t i = 1; i < cluster.size(); ++i) {
        const char letter = cluster[i];
        const size_t found = letter == ':' ? std::string_view::npos : m_syntax.shortOptions.find(letter);
        if (found == std::string_view::npos)
            return "unknown option '-" + std::string(1, letter) + "' for " + std::string(m_syntax.name);
        const bool takesValue =
            found + 1 < m_syntax.shortOptions.size() && m_syntax.shortOptions[found + 1] == ':';
        if (!takesValue) {
            setFlag(letter);
            continue;
        }
        // The value is the rest of the cluster (-dDIR) or the next argument (-d DIR).
        if (i + 1 < cluster.size())
            return setValue(letter, cluster.substr(i + 1));
        if (position + 1 >= arguments.size())
            return "option '-" + std::string(1, letter) + "' needs a value";
        return setValue(letter, arguments[++position]);
    }
    return {};
}

void Parser::setFlag(char letter)
{
    switch (letter) {
    case 'v':
        m_request.verbose = true;
        break;
    case 'o':
        m_request.overwrite = true;
        break;
    case 'j':
        m_request.noDirectoryNames = true;
        break;
    case 'r':
        m_request.recurse = true;
        break;
    default: // the level digits, the only other flags of the table
        m_request.compressionLevel = static_cast<uint32_t>(letter - '0');
        break;
    }
}

std::string Parser::setValue(char letter, const std::string& value)
{
    if (letter == 'p') {
        // An empty password stands for none, as in the options dialogs.
        m_request.passwordSource = value.empty() ? PasswordSource::None
                                   : value == "-" ? PasswordSource::StandardInput
                                                  : PasswordSource::Argument;
        m_request.password = value == "-" ? std::string() : value;
        return {};
    }
    if (value.empty())
        return "option '-d' needs a directory";
    m_request.destination = value;
    return {};
}

std::string Parser::finish(std::vector<std::string> positional)
{
    if (m_updateGiven && m_freshenGiven)
        return "--update and --freshen cannot be combined";
    m_request.addMode = m_updateGiven ? AddMode::Update : m_freshenGiven ? AddMode::Freshen : AddMode::Add;
    if (positional.empty())
        return m_syntax.command == CliCommand::Job ? "missing job file name"
                                                    : "missing archive name for " + std::string(m_syntax.name);
    if (m_syntax.command == CliCommand::List && positional.size() > 1)
        return "list takes one archive name";
    if (m_syntax.command == CliCommand::Job && positional.size() > 1)
        return "job takes one job file";
    if (m_syntax.command == CliCommand::Repair && positional.size() > 1)
        return "repair takes one archive name";
    if (m_syntax.command == CliCommand::Convert) {
        if (m_request.convertTo.empty())
            return "convert needs --to zip, dos, windows or linux";
        if (positional.size() != 2)
            return "convert takes an archive and an output file";
    }
    if (positional.size() - 1 < m_syntax.minimumNames)
        return std::string(m_syntax.name) + " needs at least one name after the archive";
    m_request.archive = positional.front();
    if (m_request.archive.empty())
        return "the archive name is empty";
    m_request.names.assign(positional.begin() + 1, positional.end());
    for (const std::string& name : m_request.names) {
        // The engines take names as a blank-separated list with double quotes around each, so an
        // empty name or one holding a double quote cannot be handed over intact.
        if (name.empty())
            return "a name is empty";
        if (name.find('"') != std::string::npos)
            return "names with a double quote cannot be used: " + name;
    }
    return {};
}

} // namespace

Result<CliRequest> parseCommandLine(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return Error{"no command given"};
    if (arguments.front() == "help")
        return CliRequest{};
    for (const std::string& argument : arguments) {
        if (argument == "--")
            break;
        if (isHelpOption(argument))
            return CliRequest{};
    }
    const CommandSyntax* syntax = findCommand(arguments.front());
    if (!syntax)
        return Error{"unknown command '" + arguments.front() + "'"};
    return Parser(*syntax).parse(arguments);
}

std::string itemSpecificationOf(const std::vector<std::string>& names)
{
    if (names.empty())
        return "*.*";
    std::string list;
    for (const std::string& name : names) {
        if (!list.empty())
            list += ' ';
        list += '"' + name + '"';
    }
    return list;
}

std::string_view usageText()
{
    return Usage;
}

} // namespace quarvo::cli
