#include "core/listing/EntryColumnTexts.h"

#include "EntryFixtures.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::EntryList;

namespace {

constexpr uint16_t madeOnDos = 0x0014;
constexpr uint16_t madeOnUnix = 0x0314;

struct AttributeCase {
    const char* name;
    uint16_t versionMadeBy;
    uint32_t externalAttributes;
    const char* letters;
};

TEST(EntryColumnTexts, AttributeLettersFromDosBitsAndUnixMode)
{
    const AttributeCase cases[] = {
        {"A.TXT", madeOnDos, 0x20, "----"},
        {"A.TXT", madeOnDos, 0x01, "---r"},
        {"A.TXT", madeOnDos, 0x02, "--h-"},
        {"A.TXT", madeOnDos, 0x04, "-s--"},
        {"DIR/", madeOnDos, 0x10, "d---"},
        {"ALL", madeOnDos, 0x37, "dshr"},
        // A DOS-made entry keeps its letters whatever the upper bits hold.
        {".hidden", madeOnDos, 0100444u << 16, "----"},
        {"a.txt", madeOnUnix, 0100644u << 16, "----"},
        {"a.txt", madeOnUnix, 0100444u << 16, "---r"},
        {"dir/", madeOnUnix, 040755u << 16, "d---"},
        {"dir/", madeOnUnix, (040755u << 16) | 0x10, "d---"},
        {"link", madeOnUnix, 0120777u << 16, "-s--"},
        {"fifo", madeOnUnix, 010644u << 16, "-s--"},
        {"dir/.profile", madeOnUnix, 0100600u << 16, "--h-"},
        {".git/", madeOnUnix, 040555u << 16, "d-hr"},
        {"dir/.x/file", madeOnUnix, 0100644u << 16, "----"},
        // No mode recorded: only the low byte counts.
        {"a.txt", madeOnUnix, 0x01, "---r"},
    };
    for (const AttributeCase& c : cases) {
        EntryList list;
        ZipEntry& entry = list.add(c.name);
        entry.versionMadeBy = c.versionMadeBy;
        entry.externalAttributes = c.externalAttributes;
        EXPECT_EQ(attributeLetters(entry), c.letters) << c.name << " " << std::oct << c.externalAttributes;
    }
}

TEST(EntryColumnTexts, RatioTextIsThePercentOfTheEntry)
{
    EntryList list;
    EXPECT_EQ(ratioText(list.add("a", 10000000, 2500000)), "80%");
    EXPECT_EQ(ratioText(list.add("b", 0, 0)), "0%");
    EXPECT_EQ(ratioText(list.add("c", 100, 0)), "100%");
    EXPECT_EQ(ratioText(list.add("d", 100, 150)), "0%");
}

} // namespace
