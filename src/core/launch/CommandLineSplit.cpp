#include "core/launch/CommandLineSplit.h"

namespace quarvo {

namespace {

constexpr char Quote = '"';
constexpr char Blank = ' ';

} // namespace

CommandLineParts splitCommandLine(std::string_view commandLine)
{
    if (commandLine.find(Quote) != std::string_view::npos) {
        if (commandLine.front() != Quote)
            return {std::string(commandLine), {}};
        size_t closing = commandLine.find(Quote, 1);
        if (closing == std::string_view::npos)
            return {std::string(commandLine.substr(1)), {}};
        std::string program(commandLine.substr(1, closing - 1));
        size_t blank = commandLine.find(Blank, closing + 1);
        if (blank == std::string_view::npos)
            return {std::move(program), {}};
        return {std::move(program), std::string(commandLine.substr(blank))};
    }
    size_t blank = commandLine.find(Blank);
    if (blank == std::string_view::npos)
        return {std::string(commandLine), {}};
    return {std::string(commandLine.substr(0, blank)), std::string(commandLine.substr(blank + 1))};
}

std::string buildCommandLine(std::string_view program, std::string_view arguments)
{
    bool needsQuotes =
        program.find(Blank) != std::string_view::npos || arguments.find(Quote) != std::string_view::npos;
    std::string line = needsQuotes && program.find(Quote) == std::string_view::npos
                           ? Quote + std::string(program) + Quote
                           : std::string(program);
    if (!arguments.empty())
        line += Blank + std::string(arguments);
    return line;
}

} // namespace quarvo
