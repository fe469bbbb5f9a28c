#include "core/convert/ShortNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

struct ShortNameCase {
    const char* rule;
    std::vector<std::string> stored;   // given to one map, in order
    std::vector<std::string> expected; // their short names
};

class ShortNames : public ::testing::TestWithParam<ShortNameCase> {};

TEST_P(ShortNames, FollowTheRule)
{
    ShortNameMap map;
    const ShortNameCase& table = GetParam();
    ASSERT_EQ(table.stored.size(), table.expected.size());
    for (size_t i = 0; i < table.stored.size(); ++i)
        EXPECT_EQ(map.shortNameOf(table.stored[i]), table.expected[i])
            << table.rule << ": " << table.stored[i];
}

std::vector<ShortNameCase> cases()
{
    std::vector<ShortNameCase> table = {
        {"a short name is only upper-cased", {"readme.txt", "a/b.c"}, {"README.TXT", "A/B.C"}},
        {"two long names of one directory count up",
         {"Long Name.text", "Long Namf.text"},
         {"LONGNA~1.TEX", "LONGNA~2.TEX"}},
        {"the same long names in two directories count separately",
         {"x/Long Name.text", "y/Long Name.text"},
         {"X/LONGNA~1.TEX", "Y/LONGNA~1.TEX"}},
        {"a space, even in a short name, needs the numbered form", {"a b.txt"}, {"AB~1.TXT"}},
        {"a plus becomes an underscore", {"c++.txt", "a+b"}, {"C__~1.TXT", "A_B~1"}},
        {"dots inside the base name are dropped", {"archive.tar.gz"}, {"ARCHIV~1.GZ"}},
        {"a long extension is cut to three", {"page.html"}, {"PAGE~1.HTM"}},
        {"a name of only an extension keeps nothing of a base", {".profile"}, {"~1.PRO"}},
        {"a name that ends in a dot has no extension", {"notes."}, {"NOTES."}},
        {"a directory keeps its short name for every entry below it",
         {"Program Files/a.txt", "Program Files/b.txt", "Program Files/"},
         {"PROGRA~1/A.TXT", "PROGRA~1/B.TXT", "PROGRA~1/"}},
        {"directories differing in case are one directory", {"Docs/a", "DOCS/b"}, {"DOCS/A", "DOCS/B"}},
        {"a duplicate file name gets a new name", {"same.txt", "same.txt"}, {"SAME.TXT", "SAME~1.TXT"}},
        {"a literal numbered name is not given twice",
         {"Long Name.text", "LONGNA~1.TEX"},
         {"LONGNA~1.TEX", "LONGNA~2.TEX"}},
        {"a file and a directory of one name are told apart", {"data", "data/x"}, {"DATA", "DATA~1/X"}},
        {"bytes outside ASCII become underscores when cut", {"\xC3\xA9t\xC3\xA9 long.txt"}, {"__T__L~1.TXT"}},
    };
    // Ten and more collisions need two digits, and the base gives up a character for each.
    ShortNameCase many{"collisions from ten on use two digits", {}, {}};
    for (int i = 1; i <= 11; ++i) {
        many.stored.push_back("Long File " + std::to_string(i) + ".document");
        many.expected.push_back((i < 10 ? "LONGFI~" : "LONGF~") + std::to_string(i) + ".DOC");
    }
    table.push_back(many);
    return table;
}

INSTANTIATE_TEST_SUITE_P(Rule, ShortNames, ::testing::ValuesIn(cases()));

} // namespace
} // namespace quarvo
