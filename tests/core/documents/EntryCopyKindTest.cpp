#include "core/documents/EntryCopyKind.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

// The program's document kinds decide by the extension of the entry's name, in any letter case;
// only the last component's extension counts.
TEST(EntryCopyKind, TellsWhatACopyMayOpenAsByItsExtension)
{
    struct Case {
        const char* name;
        EntryCopyKind kind;
    };
    const Case cases[] = {
        {"backup.cfz", EntryCopyKind::JobFile},   {"dir/Restore.CFU", EntryCopyKind::JobFile},
        {"inner.zip", EntryCopyKind::ZipArchive}, {"SETUP.EXE", EntryCopyKind::ZipArchive},
        {"src.tar", EntryCopyKind::TarArchive},   {"SRC.TGZ", EntryCopyKind::TarArchive},
        {"old.taz", EntryCopyKind::TarArchive},   {"notes.txt.gz", EntryCopyKind::TarArchive},
        {"old.tar.Z", EntryCopyKind::TarArchive}, {"src.tar.bak", EntryCopyKind::Other},
        {"dir.tar/README", EntryCopyKind::Other}, {"README", EntryCopyKind::Other},
        {"archive.", EntryCopyKind::Other},       {"a.zipx", EntryCopyKind::Other},
    };
    for (const Case& test : cases)
        EXPECT_EQ(entryCopyKind(test.name), test.kind) << test.name;
}

} // namespace
