#include "engines/common/EntryPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvo {
namespace {

// The components, "dir:" in front for a directory, or "error: REASON".
std::string split(std::string_view name, const EntryNameRules& rules)
{
    Result<EntryPath> path = splitEntryPath(name, name, rules);
    if (!path)
        return "error: " + path.error().message;
    std::string text = path->isDirectory ? "dir:" : "";
    for (const std::string& component : path->components)
        text += "[" + component + "]";
    return text;
}

TEST(EntryPath, NamesAreSplitOrRefusedByTheRulesOfTheirFormat)
{
    const EntryNameRules zipDos{.backslashIsSeparator = true, .refuseDrivePrefix = true};
    const EntryNameRules tar{.backslashIsSeparator = false, .refuseDrivePrefix = false};
    struct Case {
        std::string name;
        std::string asDosZip;
        std::string asTar;
    } cases[] = {
        {"a/b.txt", "[a][b.txt]", "[a][b.txt]"},
        {"./a/./b/", "dir:[a][b]", "dir:[a][b]"}, // bsdtar's "./" prefix
        {"./", "dir:", "dir:"},                   // the destination itself
        {"a\\b.txt", "[a][b.txt]", "[a\\b.txt]"},
        {"a\\..\\..\\x", "error: the name has a \"..\" component", "[a\\..\\..\\x]"},
        {"C:notes", "error: the name starts with a drive", "[C:notes]"},
        {"/etc/passwd", "error: the name is an absolute path", "error: the name is an absolute path"},
        {"../up", "error: the name has a \"..\" component", "error: the name has a \"..\" component"},
        {"a/../../up", "error: the name has a \"..\" component", "error: the name has a \"..\" component"},
        {"a//b", "error: the name has an empty component", "error: the name has an empty component"},
        {std::string("nul\0x", 5), "error: the name holds a NUL byte", "error: the name holds a NUL byte"},
        {".", "error: the name holds no file name", "error: the name holds no file name"},
        {"", "error: the name is empty", "error: the name is empty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(split(c.name, zipDos), c.asDosZip) << c.name;
        EXPECT_EQ(split(c.name, tar), c.asTar) << c.name;
    }
}

TEST(EntryPath, OnlyLinkTargetsThatClimbRealDirectoriesStayInside)
{
    struct Case {
        std::vector<std::string> link;
        const char* target;
        bool inside;
    } cases[] = {
        {{"link"}, "file", true},
        {{"link"}, "sub/./file", true},
        {{"a", "b", "link"}, "../../file", true},
        {{"a", "b", "link"}, "../../../file", false}, // one level above the destination
        {{"link"}, "../file", false},
        {{"a", "link"}, "sub/../../file", false}, // ".." after a name that may itself be a link
        {{"link"}, "/etc/passwd", false},
        {{"link"}, "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(linkTargetStaysInside(c.link, c.target), c.inside) << c.target;
}

} // namespace
} // namespace quarvo
