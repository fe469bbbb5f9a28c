#include "core/text/PathParts.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

struct PathCase {
    const char* path;
    const char* fileName;
    const char* directory;
    const char* extension;
};

// "/" separates directories; there are no drive letters, so ":" is an ordinary character.
constexpr PathCase pathCases[] = {
    {"", "", "", ""},
    {"README", "README", "", ""},
    {"A.TXT", "A.TXT", "", "TXT"},
    {"DIR/B.TXT", "B.TXT", "DIR", "TXT"},
    {"DIR/SUB/C.TAR.GZ", "C.TAR.GZ", "DIR/SUB", "GZ"},
    {"DIR/", "", "DIR", ""},
    {"/", "", "/", ""},
    {"/ROOT.TXT", "ROOT.TXT", "/", "TXT"},
    {"A/B", "B", "A", ""},
    {"DIR.D/README", "README", "DIR.D", ""},
    {"DIR.D/", "", "DIR.D", ""},
    {"C:README.TXT", "C:README.TXT", "", "TXT"},
    {"C:/X", "X", "C:", ""},
    {"NAME.", "NAME.", "", ""},
    {".profile", ".profile", "", "profile"},
    {"DIR//X", "X", "DIR/", ""},
};

TEST(PathParts, SplitsAtTheLastSeparatorAndDot)
{
    for (const PathCase& c : pathCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fileNamePart(c.path), c.fileName);
        EXPECT_EQ(directoryPart(c.path), c.directory);
        EXPECT_EQ(extensionPart(c.path), c.extension);
    }
}

} // namespace
