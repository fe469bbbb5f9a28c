#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarvo {

// The four requests another process (the desktop, a second start of the program, `--dde`) may send
// to a running instance, as execute strings such as [open("/home/ann/a.zip")].
enum class ExecuteVerb { Open, Execute, Add, Extract };

struct ExecuteCommand {
    ExecuteVerb verb = ExecuteVerb::Open;
    // The text between the first and the second double quote.
    std::string path;
    // Add only: everything after the second double quote, unchanged (the compress dialog picks the
    // quoted names out of it and ignores the rest, the closing ")]" included).
    std::string fileList;

    bool operator==(const ExecuteCommand&) const = default;
};

// Recognises an execute string by its prefix up to and including the first double quote:
// "[open(\"" must match exactly, "[execute(\"", "[Add(\"" and "[extract(\"" ignore letter case.
// Returns nothing for any other text and for a path without its closing double quote. The characters
// after the closing quote are not examined (Add keeps them as its file list).
std::optional<ExecuteCommand> parseExecuteCommand(std::string_view text);

// The execute string that asks a running instance to open path: [open("path")]. Nothing when the
// path holds a double quote, which would end the path early on the receiving side.
std::optional<std::string> openCommandFor(std::string_view path);
// The same for [extract("path")], which opens the archive and shows its extract dialog.
std::optional<std::string> extractCommandFor(std::string_view path);

} // namespace quarvo
