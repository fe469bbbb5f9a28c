// Feeds arbitrary bytes to dunzip's archive index as an archive in memory, then looks for
// overlapping entries as dunzip does before extracting. Besides the sanitizers' checks: an index
// that loads describes a directory inside the input holding at least the entries its end record
// counts, every name is valid UTF-8, an overlap report names two different entries of the list, and
// neither step reads the input over and over.

#include "FuzzCheck.h"
#include "CountingByteSource.h"
#include "core/zip/ZipNames.h"
#include "engines/dunzip/ArchiveIndex.h"

#include <cstdint>
#include <cstdlib>

using quarvo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quarvo::fuzz::CountingByteSource source({data, size});
    auto index = quarvo::ArchiveIndex::load(source);
    if (!index)
        return 0;
    const quarvo::DirectoryLocation& directory = index->directory;
    check(directory.start <= size && directory.size <= size - directory.start);
    check(index->entries.size() >= directory.entriesTotal);
    for (const quarvo::ArchiveEntry& entry : index->entries)
        check(quarvo::isValidUtf8(entry.name));

    quarvo::OverlapReport report = quarvo::findOverlappingEntries(source, index->entries);
    check(report.overlappingEntries <= index->entries.size());
    if (report.firstPair) {
        check(report.overlappingEntries >= 2);
        check(report.firstPair->first != report.firstPair->second);
        check(report.firstPair->first < index->entries.size() && report.firstPair->second < index->entries.size());
    }
    return 0;
}
