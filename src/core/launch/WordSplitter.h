#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

// Splits the arguments of a command line into the words handed to the started program, the way a
// POSIX shell reads the words of a simple command, but without expanding anything: no shell ever
// sees the text, so "$HOME", "*", "~" and ";" reach the program as typed.
// - Blanks and tabs separate words; several in a row count as one.
// - Single quotes group everything up to the next single quote literally.
// - Double quotes group up to the next unescaped double quote; inside them a backslash escapes only
//   '"', '\', '$' and '`' and is kept before anything else.
// - Outside quotes a backslash takes the next character literally.
// - Quotes join with the text around them: a"b c"d is the one word "ab cd"; '' is an empty word.
// A quote left open runs to the end of the text; a trailing backslash stands for itself.
std::vector<std::string> splitWords(std::string_view text);

// The word as splitWords reads it back, exactly and as one word: unchanged when it holds only
// letters, digits and "_-.,/+:=@%", otherwise in single quotes (a single quote inside written as
// '\''). The result never holds a double quote of its own.
std::string quoteWord(std::string_view word);

} // namespace quarvo
