// Feeds arbitrary bytes to dzip's reader of the archive it is about to change. Besides the
// sanitizers' checks: what it accepts must be safe to copy as it is stored, so every entry's local
// record lies whole inside the input after the prefix, the entry count is what the end record says
// (fewer than 65,535: more needs ZIP64, which it refuses), and it does not read the input over and
// over.

#include "FuzzCheck.h"
#include "CountingByteSource.h"
#include "engines/dzip/ExistingArchive.h"

#include <cstdint>
#include <cstdlib>

using quarvo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quarvo::fuzz::CountingByteSource source({data, size});
    auto archive = quarvo::readExistingArchive(source);
    if (!archive)
        return 0;
    check(archive->prefixSize <= size);
    check(archive->entries.size() < 0xFFFF);
    for (const quarvo::ExistingEntry& entry : archive->entries) {
        check(entry.localOffset >= archive->prefixSize);
        check(entry.recordSize >= 30 && entry.localOffset <= size && entry.recordSize <= size - entry.localOffset);
        check(entry.rawName.size() == entry.fields.nameLength && entry.extra.size() == entry.fields.extraLength &&
              entry.comment.size() == entry.fields.commentLength);
    }
    return 0;
}
