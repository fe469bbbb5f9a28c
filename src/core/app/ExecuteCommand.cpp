#include "core/app/ExecuteCommand.h"

#include "core/base/TextCase.h"

#include <array>

namespace quarvo {

namespace {

struct VerbPrefix {
    std::string_view prefix;
    ExecuteVerb verb;
    bool ignoreCase;
};

// The desktop registration sends "[open(" in exactly this spelling; the other three forms are also
// typed by people and scripts, so their letter case does not matter.
constexpr std::array<VerbPrefix, 4> verbPrefixes{{
    {"[open(\"", ExecuteVerb::Open, false},
    {"[execute(\"", ExecuteVerb::Execute, true},
    {"[Add(\"", ExecuteVerb::Add, true},
    {"[extract(\"", ExecuteVerb::Extract, true},
}};

bool hasPrefix(std::string_view text, const VerbPrefix& candidate)
{
    if (text.size() < candidate.prefix.size())
        return false;
    std::string_view head = text.substr(0, candidate.prefix.size());
    return candidate.ignoreCase ? equalsIgnoringCase(head, candidate.prefix) : head == candidate.prefix;
}

} // namespace

std::optional<ExecuteCommand> parseExecuteCommand(std::string_view text)
{
    for (const VerbPrefix& candidate : verbPrefixes) {
        if (!hasPrefix(text, candidate))
            continue;
        std::string_view rest = text.substr(candidate.prefix.size());
        size_t closingQuote = rest.find('"');
        if (closingQuote == std::string_view::npos)
            return std::nullopt;
        ExecuteCommand command;
        command.verb = candidate.verb;
        command.path = std::string(rest.substr(0, closingQuote));
        if (candidate.verb == ExecuteVerb::Add)
            command.fileList = std::string(rest.substr(closingQuote + 1));
        return command;
    }
    return std::nullopt;
}

namespace {

std::optional<std::string> commandFor(std::string_view verb, std::string_view path)
{
    if (path.find('"') != std::string_view::npos)
        return std::nullopt;
    std::string command = "[";
    command += verb;
    command += "(\"";
    command += path;
    command += "\")]";
    return command;
}

} // namespace

std::optional<std::string> openCommandFor(std::string_view path)
{
    return commandFor("open", path);
}

std::optional<std::string> extractCommandFor(std::string_view path)
{
    return commandFor("extract", path);
}

} // namespace quarvo
