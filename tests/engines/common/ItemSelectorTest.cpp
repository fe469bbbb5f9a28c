#include "engines/common/ItemSelector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

// The names chosen, then "unmatched: ITEM" for each item that chose nothing.
std::vector<std::string> chosenNames(const std::vector<std::string>& names, const char* specification,
                                     bool recurse)
{
    const std::vector<std::string_view> views(names.begin(), names.end());
    const ItemSelector::Selection selection = ItemSelector(specification, recurse).select(views);
    std::vector<std::string> result;
    for (size_t i = 0; i < names.size(); ++i) {
        if (selection.chosen[i])
            result.push_back(names[i]);
    }
    for (const std::string& item : selection.unmatched)
        result.push_back("unmatched: " + item);
    return result;
}

TEST(ItemSelector, StoredNamesAreNamesAndOnlyOtherItemsArePatterns)
{
    const std::vector<std::string> names = {
        "a*b.txt", "axb.txt", "a[1].txt", "a1.txt", "Sub/a*b.txt", "sub/deep/Notes.txt", "notes.txt"};
    struct Case {
        const char* specification;
        bool recurse;
        std::vector<std::string> chosen;
    } cases[] = {
        {"\"a*b.txt\"", false, {"a*b.txt"}},
        {"\"A*B.TXT\"", false, {"a*b.txt"}},
        {"\"a?b.txt\"", false, {"a*b.txt", "axb.txt"}}, // not stored: a pattern
        {"\"a[1].txt\"", false, {"a[1].txt"}},
        {"a*b.txt", true, {"a*b.txt", "Sub/a*b.txt"}}, // a name, also as a file-name part
        {"\"*.txt\"",
         false,
         {"a*b.txt", "axb.txt", "a[1].txt", "a1.txt", "Sub/a*b.txt", "sub/deep/Notes.txt", "notes.txt"}},
        {"\"notes.txt\"", false, {"notes.txt"}},
        {"\"notes.txt\"", true, {"sub/deep/Notes.txt", "notes.txt"}},
        {"\"sub/*\"", false, {"Sub/a*b.txt", "sub/deep/Notes.txt"}},
        {"\"missing.txt\"", true, {"unmatched: missing.txt"}},
        {"\"*.png\" notes.txt \"nope/*\" \"*1.txt\"",
         false,
         {"a1.txt", "notes.txt", "unmatched: *.png", "unmatched: nope/*"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chosenNames(names, c.specification, c.recurse), c.chosen) << c.specification;
}

// A selection of every name of a large archive, as the program passes it after "select all",
// picks each entry once; names are looked up, not compared with every entry.
TEST(ItemSelector, LongListsOfNamesSelectExactlyTheirEntries)
{
    std::vector<std::string> names;
    std::string everyOther;
    for (int i = 0; i < 70000; ++i) {
        names.push_back("dir" + std::to_string(i % 100) + "/file" + std::to_string(i) + ".txt");
        if (i % 2 == 0)
            everyOther += "\"" + names.back() + "\" ";
    }
    const std::vector<std::string_view> views(names.begin(), names.end());
    const std::vector<bool> chosen = ItemSelector(everyOther, false).select(views).chosen;
    ASSERT_EQ(chosen.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(chosen[i], i % 2 == 0) << names[i];
}

} // namespace
} // namespace quarvo
