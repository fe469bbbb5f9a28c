#include "core/listing/EntryOrder.h"

#include "EntryFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quarvo;
using quarvo::testing::EntryList;
using quarvo::testing::namesOf;

namespace {

using Names = std::vector<std::string>;

Names sorted(const EntryList& list, SortOrder order)
{
    std::vector<ZipEntry*> rows = list.pointers();
    sortEntries(rows, order);
    return namesOf(rows);
}

TEST(EntryOrder, ByFileNameThenDirectoryIgnoringCase)
{
    EntryList list;
    list.add("b/readme");
    list.add("A/README");
    list.add("Zeta.txt");
    list.add("a/alpha.TXT");
    list.add("README");
    EXPECT_EQ(sorted(list, SortOrder::FileName),
              (Names{"a/alpha.TXT", "README", "A/README", "b/readme", "Zeta.txt"}));
}

TEST(EntryOrder, NamesDifferingOnlyInCaseTieAndKeepTheirOrder)
{
    EntryList list;
    list.add("NAME.TXT");
    list.add("name.txt");
    list.add("Name.Txt");
    EXPECT_EQ(sorted(list, SortOrder::FileName), (Names{"NAME.TXT", "name.txt", "Name.Txt"}));
    EXPECT_EQ(compareEntries(SortOrder::FileName, list.pointers()[1], list.pointers()[0]), 0);
}

TEST(EntryOrder, LettersCompareAsLowerCaseAndBytesAsUnsigned)
{
    // "_" (0x5F) lies between the upper-case (0x41..) and lower-case (0x61..) letters: letters
    // compare as lower case, so it sorts before both. Bytes from 0x80 up sort after ASCII.
    EntryList list;
    list.add("\xC3\xA9t\xC3\xA9");
    list.add("Apple");
    list.add("_under");
    list.add("zoo");
    EXPECT_EQ(sorted(list, SortOrder::FileName), (Names{"_under", "Apple", "zoo", "\xC3\xA9t\xC3\xA9"}));
}

TEST(EntryOrder, ByPathThenFullName)
{
    EntryList list;
    list.add("src/b.c");
    list.add("ROOT.TXT");
    list.add("SRC/a.c");
    list.add("doc/z.txt");
    list.add("/abs");
    EXPECT_EQ(sorted(list, SortOrder::Path), (Names{"ROOT.TXT", "/abs", "doc/z.txt", "SRC/a.c", "src/b.c"}));
}

TEST(EntryOrder, ByExtensionThenFileNameThenDirectory)
{
    EntryList list;
    list.add("x/b.txt");
    list.add("a.TXT");
    list.add("README");
    list.add("w/b.txt");
    list.add("c.doc");
    list.add("dir.d/noext");
    EXPECT_EQ(sorted(list, SortOrder::Extension),
              (Names{"dir.d/noext", "README", "c.doc", "a.TXT", "w/b.txt", "x/b.txt"}));
}

TEST(EntryOrder, ByDateThenTimeThenName)
{
    EntryList list;
    auto dated = [&](const char* name, uint16_t date, uint16_t time) {
        ZipEntry& entry = list.add(name);
        entry.modDate = date;
        entry.modTime = time;
    };
    dated("late", 0xF000, 0); // 2100: compared unsigned, so after 1990
    dated("b", 0x1421, 0x6000);
    dated("a", 0x1421, 0x6000);
    dated("early", 0x1421, 0x5000);
    dated("first", 0x0021, 0xBF7D);
    EXPECT_EQ(sorted(list, SortOrder::DateTime), (Names{"first", "early", "a", "b", "late"}));
}

TEST(EntryOrder, BySizesAsUnsignedThenName)
{
    EntryList list;
    list.add("huge", 3000000000u, 10);
    list.add("b", 5, 3000000000u);
    list.add("a", 5, 7);
    list.add("small", 1, 2);
    EXPECT_EQ(sorted(list, SortOrder::UncompressedSize), (Names{"small", "a", "b", "huge"}));
    EXPECT_EQ(sorted(list, SortOrder::CompressedSize), (Names{"small", "a", "huge", "b"}));
}

TEST(EntryOrder, ByRatioThenName)
{
    EntryList list;
    list.add("stored", 100, 100); // 0%
    list.add("half", 100, 50);    // 50%
    list.add("grew", 100, 120);   // 0%
    list.add("most", 100, 10);    // 90%
    EXPECT_EQ(sorted(list, SortOrder::Ratio), (Names{"grew", "stored", "half", "most"}));
}

TEST(EntryOrder, CompressionOrderKeepsTheDirectoryOrder)
{
    EntryList list;
    list.add("z", 1);
    list.add("a", 3);
    list.add("m", 2);
    EXPECT_EQ(sorted(list, SortOrder::CompressionOrder), (Names{"z", "a", "m"}));
    EXPECT_EQ(compareEntries(SortOrder::CompressionOrder, list.pointers()[0], list.pointers()[1]), 0);
}

TEST(EntryOrder, NullEntriesComeFirst)
{
    EntryList list;
    list.add("a");
    ZipEntry* a = list.pointers()[0];
    EXPECT_EQ(compareEntries(SortOrder::FileName, nullptr, a), -1);
    EXPECT_EQ(compareEntries(SortOrder::FileName, a, nullptr), 1);
    EXPECT_EQ(compareEntries(SortOrder::FileName, nullptr, nullptr), 0);

    std::vector<ZipEntry*> rows = {a, nullptr};
    sortEntries(rows, SortOrder::Path);
    EXPECT_EQ(namesOf(rows), (Names{"(null)", "a"}));
}

TEST(EntryOrder, LargeListingSortsStablyByEveryKey)
{
    // 10,000 entries with few distinct names, dates and sizes, so that most of them tie on the
    // first key and the tie-breaks and the stability carry the order.
    EntryList list;
    std::mt19937 random(7);
    const char* directories[] = {"", "a/", "B/", "a/b/"};
    for (int i = 0; i < 10000; ++i) {
        std::string name = std::string(directories[random() % 4]) + "f" + std::to_string(random() % 50) +
                           ".t" + std::to_string(random() % 3);
        ZipEntry& entry = list.add(name, random() % 20, random() % 20);
        entry.modDate = static_cast<uint16_t>(random() % 4);
        entry.modTime = static_cast<uint16_t>(random() % 4);
    }
    for (SortOrder order : {SortOrder::FileName, SortOrder::Path, SortOrder::Extension, SortOrder::DateTime,
                            SortOrder::CompressedSize, SortOrder::UncompressedSize, SortOrder::Ratio}) {
        SCOPED_TRACE(static_cast<int>(order));
        std::vector<ZipEntry*> rows = list.pointers();
        sortEntries(rows, order);
        for (size_t i = 1; i < rows.size(); ++i) {
            int comparison = compareEntries(order, rows[i - 1], rows[i]);
            ASSERT_LE(comparison, 0) << rows[i - 1]->name << " before " << rows[i]->name;
            if (comparison == 0) {
                ASSERT_LT(rows[i - 1]->index, rows[i]->index) << "ties keep the directory order";
            }
        }
    }
}

} // namespace
