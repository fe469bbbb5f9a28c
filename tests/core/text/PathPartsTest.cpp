#include "core/text/PathParts.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

struct PathCase {
    const char* path;
    const char* fileName;
    const char* directory;
    const char* extension;
    const char* title;
};

// "/" separates directories; there are no drive letters, so ":" is an ordinary character.
constexpr PathCase pathCases[] = {
    {"", "", "", "", ""},
    {"README", "README", "", "", "README"},
    {"A.TXT", "A.TXT", "", "TXT", "A"},
    {"DIR/B.TXT", "B.TXT", "DIR", "TXT", "B"},
    {"DIR/SUB/C.TAR.GZ", "C.TAR.GZ", "DIR/SUB", "GZ", "C.TAR"},
    {"DIR/", "", "DIR", "", ""},
    {"/", "", "/", "", ""},
    {"/ROOT.TXT", "ROOT.TXT", "/", "TXT", "ROOT"},
    {"A/B", "B", "A", "", "B"},
    {"DIR.D/README", "README", "DIR.D", "", "README"},
    {"DIR.D/", "", "DIR.D", "", ""},
    {"C:README.TXT", "C:README.TXT", "", "TXT", "C:README"},
    {"C:/X", "X", "C:", "", "X"},
    {"NAME.", "NAME.", "", "", "NAME"},
    {".profile", ".profile", "", "profile", ""},
    {"DIR//X", "X", "DIR/", "", "X"},
};

TEST(PathParts, SplitsAtTheLastSeparatorAndDot)
{
    for (const PathCase& c : pathCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fileNamePart(c.path), c.fileName);
        EXPECT_EQ(directoryPart(c.path), c.directory);
        EXPECT_EQ(extensionPart(c.path), c.extension);
        EXPECT_EQ(fileTitlePart(c.path), c.title);
    }
}

} // namespace
