#include "cli/PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace quarvo::cli {

namespace {

bool usesPassword(CliCommand command)
{
    return command == CliCommand::Add || command == CliCommand::Test || command == CliCommand::Extract;
}

// Turns echo off on a terminal for as long as the object lives.
class HiddenInput {
  public:
    explicit HiddenInput(int descriptor) : m_descriptor(descriptor)
    {
        if (tcgetattr(descriptor, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_hidden = tcsetattr(descriptor, TCSAFLUSH, &quiet) == 0;
    }
    ~HiddenInput()
    {
        if (m_hidden)
            tcsetattr(m_descriptor, TCSAFLUSH, &m_saved);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

  private:
    int m_descriptor;
    termios m_saved{};
    bool m_hidden = false;
};

// One line without its line end ("\n" or "\r\n"); nothing when the input ends before any byte.
std::optional<std::string> readLine(std::FILE* input)
{
    std::string line;
    int c;
    while ((c = std::fgetc(input)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

Result<Ok> resolvePassword(CliRequest& request, std::FILE* input, std::FILE* errors,
                           const char* environmentValue)
{
    switch (request.passwordSource) {
    case PasswordSource::Argument:
        std::fprintf(errors,
                     "quarvo-cli: warning: a password given with -p can be seen by other users of "
                     "this system; use -p - (standard input) or %s instead\n",
                     PasswordVariable);
        return Ok{};
    case PasswordSource::StandardInput: {
        const int descriptor = fileno(input);
        const bool terminal = isatty(descriptor);
        std::optional<std::string> line;
        if (terminal) {
            std::fputs("Password: ", errors);
            std::fflush(errors);
            HiddenInput hidden(descriptor);
            line = readLine(input);
            std::fputc('\n', errors);
        } else {
            line = readLine(input);
        }
        if (!line)
            return Error{"no password could be read from standard input"};
        if (line->empty())
            return Error{"the password read from standard input is empty"};
        request.password = std::move(*line);
        return Ok{};
    }
    case PasswordSource::None:
        if (environmentValue && *environmentValue && usesPassword(request.command))
            request.password = environmentValue;
        return Ok{};
    }
    return Ok{};
}

void hidePasswordInArguments(int argc, char** argv, const std::string& password)
{
    if (password.empty())
        return;
    for (int i = 1; i < argc; ++i) {
        for (char* found = std::strstr(argv[i], password.c_str()); found;
             found = std::strstr(found, password.c_str()))
            std::memset(found, '*', password.size());
    }
}

} // namespace quarvo::cli
