#pragma once

#include "core/base/Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo::cli {

enum class CliCommand { Help, List, Test, Extract, Add, Delete, Job, Convert, Repair };

// Where a command's password comes from.
enum class PasswordSource { None, Argument, StandardInput };

// How add treats entries that are already in the archive.
enum class AddMode { Add, Update, Freshen };

// One run of quarvo-cli, as the command line asked for it.
struct CliRequest {
    CliCommand command = CliCommand::Help;
    std::string archive; // job: the job file
    // add: the files to add; extract and delete: stored entry names.
    std::vector<std::string> names;
    std::string password; // empty: no encryption; see passwordSource
    // Where the password comes from: the text of -p, standard input for "-p -", or, without -p,
    // the QUARVO_PASSWORD environment variable. main resolves it into password before the run.
    PasswordSource passwordSource = PasswordSource::None;
    bool zipCrypto = false; // add --zipcrypto: the traditional cipher instead of AES-256
    std::string destination = ".";
    bool verbose = false;          // list -v
    bool overwrite = false;        // extract -o
    bool noDirectoryNames = false; // add and extract -j
    bool recurse = false;          // add -r
    uint32_t compressionLevel = 5; // add -0 .. -8
    AddMode addMode = AddMode::Add;
    bool move = false; // add --move
    bool includeHidden = true; // add: take names beginning with a dot; --no-hidden leaves them out
    // convert --to: "zip", "dos", "windows" or "linux"; the output file is names.front().
    std::string convertTo;
};

// Parses the arguments that follow the program name. The error is one line for the user, without
// the program name.
Result<CliRequest> parseCommandLine(const std::vector<std::string>& arguments);

// The item specification the engines take for names: each name in double quotes, separated by
// single spaces; "*.*" (every entry) when there are none. parseCommandLine refuses names that hold a
// double quote, which such a list cannot carry.
std::string itemSpecificationOf(const std::vector<std::string>& names);

// The --help text, ending in a newline.
std::string_view usageText();

} // namespace quarvo::cli
