#include "core/dialogs/DroppedFiles.h"
#include "core/app/CommandIds.h"

#include <gtest/gtest.h>

#include <set>

namespace quarvo {
namespace {

using Names = std::vector<std::string>;

TEST(DroppedFiles, AnAddRequestCarriesTheNamesBetweenQuotes)
{
    struct Case {
        const char* fileList;
        Names names;
    };
    const Case cases[] = {
        {") \"/x/a.txt\")]", {"/x/a.txt"}},
        {") \"/x/a b.txt\" \"/y/c\")]", {"/x/a b.txt", "/y/c"}},
        {", \"/x/a\", \"/x/b\")]", {"/x/a", "/x/b"}},
        {")]", {}},
        {"", {}},
        // An opening quote without its closing one ends the list.
        {") \"/x/a\" \"/x/unfinished", {"/x/a"}},
    };
    for (const Case& test : cases) {
        auto names = namesOfAddRequest(test.fileList);
        ASSERT_TRUE(names.ok()) << test.fileList;
        EXPECT_EQ(names.value(), test.names) << test.fileList;
    }
}

TEST(DroppedFiles, AnAddRequestWhoseNameHeldAQuoteIsRefused)
{
    // The name was /x/say "hi".txt: its quotes cut it into pieces with text between them.
    for (const char* fileList : {") \"/x/say \"hi\".txt\")]", ") \"/x/a\"b\"", "junk \"/x/a\""}) {
        auto names = namesOfAddRequest(fileList);
        ASSERT_FALSE(names.ok()) << fileList;
        EXPECT_NE(addRequestRefusalMessage(names.error()).find("double quote"), std::string::npos);
    }
    EXPECT_EQ(namesOfAddRequest(") \"/x/say \"hi\".txt\")]").error().near, "/x/say \"h");
}

TEST(DroppedFiles, DirectoriesGetEveryFileAndTheEngineGetsEachLineQuoted)
{
    const std::set<std::string> directories = {"/home/ann/photos", "/tmp/"};
    auto isDirectory = [&](const std::string& path) { return directories.count(path) > 0; };
    EXPECT_EQ(filesToCompressLines({"/home/ann/a b.txt", "/home/ann/photos", "/tmp/", "/home/ann/x.zip"},
                                   isDirectory),
              (Names{"/home/ann/a b.txt", "/home/ann/photos/*.*", "/tmp/*.*", "/home/ann/x.zip"}));

    EXPECT_EQ(itemSpecificationOf({"/a b/c.txt", "/d/*.*"}),
              std::optional<std::string>("\"/a b/c.txt\" \"/d/*.*\""));
    EXPECT_EQ(itemSpecificationOf({}), std::optional<std::string>(""));
    std::string rejected;
    EXPECT_EQ(itemSpecificationOf({"/ok", "/say \"hi\"", "/later\""}, &rejected), std::nullopt);
    EXPECT_EQ(rejected, "/say \"hi\"");
}

TEST(DroppedFiles, EachCommandPositionRunsItsAddCommand)
{
    const int expected[] = {CommandId::AddFiles,  CommandId::UpdateFiles,     CommandId::FreshenFiles,
                            CommandId::MoveFiles, CommandId::MoveUpdateFiles, CommandId::MoveFreshenFiles};
    for (int position = 0; position < 6; ++position)
        EXPECT_EQ(addCommandAt(position), expected[position]);
    EXPECT_EQ(addCommandAt(4), 2450);
    EXPECT_EQ(addCommandAt(5), 2500);
    EXPECT_EQ(addCommandAt(-1), std::nullopt);
    EXPECT_EQ(addCommandAt(6), std::nullopt);
}

} // namespace
} // namespace quarvo
