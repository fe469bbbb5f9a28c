#include "core/documents/EntryDrag.h"
#include "core/ui/DialogResult.h"
#include "core/zip/ZipEntry.h"
#include "engines/api/EngineResult.h"

#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarvo {
namespace {

using testing::ScriptedUserInterface;
using testing::TemporaryDirectory;
using testing::writeFile;

TEST(EntryDrag, TheEnginesGetEachNameQuotedAndADirectoryWithWhatItHolds)
{
    EXPECT_EQ(dragSpecificationOf({"a b.txt", "dir/"}),
              std::optional<std::string>("\"a b.txt\" \"dir/\" \"dir/*\""));
    std::string rejected;
    EXPECT_EQ(dragSpecificationOf({"ok", "say \"hi\""}, &rejected), std::nullopt);
    EXPECT_EQ(rejected, "say \"hi\"");
}

TEST(EntryDrag, TheEngineGetsTheSpecificationUnlessANameHoldsAQuote)
{
    struct Case {
        const char* rule;
        std::vector<std::string> names;
        uint16_t engineResult;
        std::vector<std::string> extracted; // what the engine was handed
        std::vector<std::string> warnings;
        bool succeeds;
    };
    const std::string quoteWarning =
        "The name say \"hi\" holds a double quote, which cannot be handed to the archive engines.";
    const Case cases[] = {
        {"the engine extracts", {"a.txt", "dir/"}, EngineResult::Ok, {"\"a.txt\" \"dir/\" \"dir/*\""}, {}, true},
        {"the engine fails", {"a.txt"}, EngineResult::CrcError, {"\"a.txt\""}, {}, false},
        {"a quoted name reaches no engine", {"a.txt", "say \"hi\""}, EngineResult::Ok, {}, {quoteWarning}, false},
    };
    for (const Case& test : cases) {
        ScriptedUserInterface ui;
        if (!test.warnings.empty())
            ui.answerMessage(DialogResult::Ok);
        std::vector<std::string> extracted;
        bool succeeded = extractDraggedEntries(ui, test.names, [&](const std::string& specification) {
            extracted.push_back(specification);
            return test.engineResult;
        });
        EXPECT_EQ(succeeded, test.succeeds) << test.rule;
        EXPECT_EQ(extracted, test.extracted) << test.rule;
        EXPECT_EQ(ui.messageTexts(), test.warnings) << test.rule;
    }
}

TEST(EntryDrag, OffersEachExtractedEntryOnceAndNothingOutsideTheDirectory)
{
    TemporaryDirectory root;
    const std::string directory = root.file("item");
    writeFile(root.file("item/top.txt"), "t");
    writeFile(root.file("item/dir/inner.txt"), "i");
    writeFile(root.file("item/other/deep.txt"), "d");
    writeFile(root.file("outside.txt"), "o");
    struct Case {
        const char* rule;
        std::vector<std::string> names;
        std::vector<std::string> offered; // relative to the directory
    };
    const Case cases[] = {
        {"files where the engine put them", {"top.txt", "other/deep.txt"}, {"top.txt", "other/deep.txt"}},
        {"a directory brings its entries along", {"dir/", "dir/inner.txt", "top.txt"}, {"dir", "top.txt"}},
        {"a name the engine did not write", {"missing.txt", "top.txt"}, {"top.txt"}},
        {"names leading out of the directory",
         {"../outside.txt", "/etc/passwd", "dir/../../outside.txt"},
         {}},
        {"the same place twice", {"top.txt", "./top.txt"}, {"top.txt"}},
    };
    for (const Case& test : cases) {
        std::vector<ZipEntry> entries(test.names.size());
        std::vector<const ZipEntry*> pointers;
        for (size_t i = 0; i < entries.size(); ++i) {
            entries[i].name = test.names[i];
            pointers.push_back(&entries[i]);
        }
        std::vector<std::string> expected;
        for (const std::string& relative : test.offered)
            expected.push_back((std::filesystem::path(directory) / relative).string());
        EXPECT_EQ(draggedPaths(pointers, directory), expected) << test.rule;
    }
}

} // namespace
} // namespace quarvo
