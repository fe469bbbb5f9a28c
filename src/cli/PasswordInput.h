#pragma once

#include "cli/CommandLine.h"

#include <cstdio>
#include <string>

namespace quarvo::cli {

// The environment variable a script sets to give quarvo-cli a password without a command line.
constexpr const char* PasswordVariable = "QUARVO_PASSWORD";

// Fills request.password from where it comes: "-p -" reads one line of input (without echo, after a
// prompt on errors, when input is a terminal); without -p, environmentValue (the variable's value,
// or null) serves add, test and extract. A password given with -p itself earns a warning on errors,
// since any user may read a command line. Fails with a text for the user when the line cannot be
// read or is empty.
Result<Ok> resolvePassword(CliRequest& request, std::FILE* input, std::FILE* errors,
                           const char* environmentValue);

// Overwrites the password wherever it appears in the arguments (after the program name) with "*", so
// the process list no longer shows it. The program works on its own copy of the arguments by then.
void hidePasswordInArguments(int argc, char** argv, const std::string& password);

} // namespace quarvo::cli
