#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// A launch command line cut into the program to start and the text of its arguments.
struct CommandLineParts {
    std::string program;
    std::string arguments;

    bool operator==(const CommandLineParts&) const = default;
};

// Cuts a command line into program and arguments, the rule every launch command follows:
// - with a double quote as its first character, the program is the text up to the next double quote
//   (or to the end when there is none), and the arguments are the text from the first blank after
//   that quote to the end, the blank included (empty when there is none);
// - with a double quote anywhere else, the whole text is the program and there are no arguments;
// - without a double quote, the program is the text before the first blank and the arguments the
//   text after it; without a blank either, the whole text is the program.
// The arguments are a text; splitWords turns them into the words handed to the program.
CommandLineParts splitCommandLine(std::string_view commandLine);

// The command line that splitCommandLine cuts back into program and arguments (a text of words, as
// quoteWord writes them; empty for none): the program goes in double quotes when it holds a blank or
// the arguments hold a double quote, and a blank separates the two. A program that itself holds a
// double quote cannot be written in this form and stays as it is.
std::string buildCommandLine(std::string_view program, std::string_view arguments);

} // namespace quarvo
