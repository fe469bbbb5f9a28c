#include "core/launch/WordSplitter.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

using Words = std::vector<std::string>;

TEST(WordSplitter, ReadsWordsLikeAShellWithoutExpandingAnything)
{
    struct Case {
        const char* text;
        Words expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"one two\tthree", {"one", "two", "three"}},
        {"  padded  ", {"padded"}},
        // Quotes group and join with the text around them.
        {"'a b' \"c d\"", {"a b", "c d"}},
        {"a\"b c\"d", {"ab cd"}},
        {"'' \"\"", {"", ""}},
        // Single quotes are literal throughout, backslashes included.
        {"'a\\b \"c\"'", {"a\\b \"c\""}},
        // Inside double quotes a backslash escapes only ", \, $ and `.
        {"\"a\\\"b\\\\c\\$d\\`e\\nf\"", {"a\"b\\c$d`e\\nf"}},
        // Outside quotes a backslash takes the next character; a trailing one stands for itself.
        {"a\\ b c\\'d e\\", {"a b", "c'd", "e\\"}},
        // Nothing is expanded and no character is special to a shell.
        {"$HOME ~ * ; | > `x` $(y)", {"$HOME", "~", "*", ";", "|", ">", "`x`", "$(y)"}},
        // A quote left open runs to the end.
        {"a 'b c", {"a", "b c"}},
        {"a \"b c", {"a", "b c"}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(splitWords(test.text), test.expected) << test.text;
}

TEST(WordSplitter, QuotedWordsReadBackExactly)
{
    const std::string words[] = {"plain.txt",
                                 "dir/sub-1/a_b,c+d:e=f@g%h",
                                 "",
                                 "with blank",
                                 "it's",
                                 "'",
                                 "\"",
                                 "a;rm -rf ~",
                                 "$HOME*",
                                 "tab\there",
                                 "back\\slash",
                                 "ünïcode"};
    for (const std::string& word : words) {
        std::string quoted = quoteWord(word);
        EXPECT_EQ(splitWords(quoted), Words{word}) << quoted;
        EXPECT_EQ(quoted.find('"') != std::string::npos, word.find('"') != std::string::npos) << quoted;
    }
    EXPECT_EQ(quoteWord("plain.txt"), "plain.txt");
    EXPECT_EQ(quoteWord("it's"), "'it'\\''s'");
}

} // namespace
} // namespace quarvo
