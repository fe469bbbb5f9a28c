#include "engines/untar/TarListing.h"

#include "core/text/PathParts.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/untar/ArchivePass.h"

namespace quarvo {

TarEntryRecord recordOf(const TarHeader& header, uint64_t index)
{
    TarEntryRecord record;
    record.size = header.size;
    record.mode = header.mode;
    record.modificationTime = header.modificationTime.tv_sec;
    record.modificationNanoseconds = static_cast<uint32_t>(header.modificationTime.tv_nsec);
    record.type = header.type;
    record.name = header.name.c_str();
    record.secondName = header.linkTarget.c_str();
    record.index = index;
    return record;
}

uint16_t readTarListing(const std::string& path, bool keep, TarEntryCallback entryCallback,
                        void* callbackData, EngineReporter& reporter, TarListing& listing)
{
    auto failed = [&](const PassFailure& failure) {
        reporter.message(failure.message);
        return failure.code;
    };
    const std::string status = "Reading: " + escapeControlCharacters(fileNamePart(path));
    if (!reporter.status(status, 0))
        return EngineResult::Cancelled;
    Result<std::unique_ptr<ArchivePass>, PassFailure> opened = ArchivePass::open(path, reporter);
    if (!opened)
        return failed(opened.error());
    ArchivePass& pass = *opened.value();
    listing.streamType = pass.streamType();
    for (;;) {
        Result<std::optional<TarHeader>, PassFailure> header = pass.next();
        if (!header)
            return failed(header.error());
        if (!header.value())
            break;
        const TarEntryRecord record = recordOf(**header, listing.entryCount);
        if (entryCallback && entryCallback(&record, callbackData) == 1)
            return EngineResult::Cancelled;
        ++listing.entryCount;
        if (keep)
            listing.entries.push_back(std::move(**header));
        if (!reporter.status(status, pass.percent()))
            return EngineResult::Cancelled;
    }
    if (std::optional<PassFailure> failure = pass.finish())
        return failed(*failure);
    listing.warnings = pass.warnings();
    reporter.status(status, 100);
    return pass.damagedHeaders() > 0 ? EngineResult::BadArchive : EngineResult::Ok;
}

} // namespace quarvo
