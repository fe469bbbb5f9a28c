#include "core/app/CommandCatalog.h"
#include "core/app/CommandIds.h"

#include <gtest/gtest.h>

#include <set>

using namespace quarvo;

namespace {

TEST(CommandCatalog, NamesEachCommandOnce)
{
    std::set<int> seen;
    for (const CommandText& text : commandTexts())
        EXPECT_TRUE(seen.insert(text.id).second) << "id " << text.id << " listed twice";
    EXPECT_EQ(findCommandText(12345), nullptr);
}

TEST(CommandCatalog, CarriesTheListingTextsAndToolTips)
{
    struct Expected {
        int id;
        const char* menuText;
        const char* toolTip;
    };
    const Expected expected[] = {
        {CommandId::Extract, "&Extract Files...", "Extract from archive"},
        {CommandId::SortByExtension, "by &Extension", "Sort by extention"},
        {CommandId::SortByRatio, "by Compression &Ratio", "Sort by coimpression ratio"},
        {CommandId::SortByOrder, "by Compression &Order", "Unsorted list"},
        {CommandId::ShowNameOnly, "Show &Name only", "Short list"},
        {CommandId::Print, "&Print...", "Print file list"},
        {CommandId::AlwaysOnTop, "&Always On Top", ""},
        {CommandId::SendAllDocuments, "All Open Documents", ""},
        {CommandId::DeleteZipFile, "&Delete ZIP File...", ""},
    };
    for (const Expected& e : expected) {
        const CommandText* text = findCommandText(e.id);
        ASSERT_NE(text, nullptr) << e.id;
        EXPECT_EQ(text->menuText, e.menuText);
        EXPECT_EQ(text->toolTip, e.toolTip);
    }
    EXPECT_EQ(findCommandText(CommandId::Refresh)->shortcut, "F5");
    EXPECT_EQ(findCommandText(CommandId::Exit)->shortcut, "F3");
    EXPECT_EQ(findCommandText(CommandId::ExtractUpdate)->prompt,
              "Update the files on the disk with the selected files from the active archive File");
}

} // namespace
