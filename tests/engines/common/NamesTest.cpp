#include "engines/common/NameList.h"
#include "engines/common/NamePattern.h"
#include "engines/common/StoredNameIndex.h"

#include <gtest/gtest.h>

using namespace quarvo;

TEST(NameList, SplitsAtBlanksAndKeepsQuotedBlanks)
{
    struct Case {
        const char* list;
        std::vector<std::string> names;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"a.txt", {"a.txt"}},
        {"\"/tmp/src dir/*.*\"", {"/tmp/src dir/*.*"}},
        {"\"A.TXT\" \"DIR/B.TXT\" \"C.DOC\"", {"A.TXT", "DIR/B.TXT", "C.DOC"}},
        {"one  two\tthree", {"one", "two", "three"}},
        {"\"\" x", {"x"}},
        {"dir/\"with blank\".txt", {"dir/with blank.txt"}},
        {"\"unterminated quote", {"unterminated quote"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitNameList(c.list), c.names) << c.list;
}

TEST(NamePattern, MatchesStarAndQuestionMarkIgnoringCase)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.*", "README", true}, // every name, with or without a dot
        {"*.*", "a.b.c", true},
        {"*.*", "dir/a", false},
        {"*.txt", "notes.TXT", true},
        {"*.txt", "notes.txt.bak", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"*a*b", "xxaxxb", true},
        {"*a*b", "xxaxxbx", false},
        {"sub/*.c", "SUB/x.c", true},
        {"*.c", "sub/x.c", false}, // `*` stays within one component
        {"a?b", "a/b", false},
        {"**", "anything", true},
        {"data-??.bin", "DATA-07.BIN", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesNamePattern(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

TEST(StoredNameIndex, ExactNameWinsOverCaseAndWildcardsAreOrdinaryCharacters)
{
    const std::vector<std::string> names = {"a*b.txt",   "axb.txt", "A.txt", "a.txt",
                                            "Dir/B.TXT", "same",    "same"};
    StoredNameIndex index;
    for (size_t i = 0; i < names.size(); ++i)
        index.add(names[i], i);
    struct Case {
        const char* item;
        std::vector<size_t> found;
    } cases[] = {
        {"a*b.txt", {0}},                     // the stored name itself, not a pattern over axb.txt
        {"A*B.TXT", {0}},                     // ignoring case when nothing matches exactly
        {"a.txt", {3}},                       // byte-exact wins over A.txt
        {"A.TXT", {2, 3}},                    // no exact match: every name equal ignoring case
        {"dir/b.txt", {4}}, {"same", {5, 6}}, // duplicates keep every entry
        {"a?b.txt", {}},                      // names nothing: the caller treats it as a pattern
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(index.find(c.item), c.found) << c.item;
    EXPECT_EQ(index.findIgnoringCase("a.txt"), (std::vector<size_t>{2, 3}));
}
