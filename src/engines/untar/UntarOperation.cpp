#include "engines/untar/UntarOperation.h"

#include "engines/api/EngineResult.h"
#include "engines/common/EngineReporter.h"
#include "engines/untar/TarExtraction.h"
#include "engines/untar/TarListing.h"
#include "engines/untar/TarSessions.h"
#include "engines/untar/Utf8ThreadLocale.h"

#include <algorithm>
#include <limits>

namespace quarvo {

namespace {

class Operation {
  public:
    explicit Operation(UntarCommand& command)
        : m_command(command),
          m_reporter({command.messageCallback, command.messageCallbackData, command.statusCallback,
                      command.statusCallbackData, nullptr, nullptr},
                     nullptr)
    {
    }

    uint16_t run();

  private:
    uint16_t open();
    uint16_t reread(OpenTarArchive& archive);
    uint16_t nextEntry(OpenTarArchive& archive);
    uint16_t fail(uint16_t code, const std::string& text)
    {
        m_reporter.message(text);
        return code;
    }
    void takeListing(OpenTarArchive& archive, TarListing&& listing)
    {
        archive.streamType = listing.streamType;
        archive.kept = m_command.listing == 1;
        archive.entryCount = listing.entryCount;
        archive.entries = std::move(listing.entries);
        archive.nextEntry = 0;
        m_command.entryCount = static_cast<uint32_t>(
            std::min<uint64_t>(listing.entryCount, std::numeric_limits<uint32_t>::max()));
        m_command.streamType = listing.streamType;
        m_command.warnings += listing.warnings;
    }

    UntarCommand& m_command;
    EngineReporter m_reporter;
};

uint16_t Operation::run()
{
    m_command.warnings = 0;
    m_command.entryRecord = nullptr;
    TarSessions& sessions = TarSessions::instance();
    OpenTarArchive* archive = m_command.handle == -1 ? nullptr : sessions.find(m_command.handle);
    switch (m_command.function) {
    case UntarFunction::Open:
        if (archive)
            return fail(EngineResult::BadArgument,
                        "An archive is open in this block already; close it first.");
        return open();
    case UntarFunction::Reread:
        return archive ? reread(*archive) : UntarResult::NoArchiveOpen;
    case UntarFunction::NextEntry:
        return archive ? nextEntry(*archive) : UntarResult::NoArchiveOpen;
    case UntarFunction::Close:
        if (!archive)
            return UntarResult::NoArchiveOpen;
        sessions.close(m_command.handle);
        m_command.handle = -1;
        return EngineResult::Ok;
    case UntarFunction::Extract:
        if (m_command.handle != -1 && !archive)
            return UntarResult::NoArchiveOpen;
        return runTarExtraction(m_command, archive, m_reporter, m_command.warnings);
    default:
        return fail(EngineResult::BadArgument,
                    "Unknown function " + std::to_string(m_command.function) + ".");
    }
}

uint16_t Operation::open()
{
    if (!m_command.archivePath || !*m_command.archivePath)
        return fail(EngineResult::BadArgument, "No archive was named.");
    m_command.entryCount = 0;
    TarListing listing;
    const uint16_t code =
        readTarListing(m_command.archivePath, m_command.listing == 1, m_command.entryCallback,
                       m_command.entryCallbackData, m_reporter, listing);
    m_command.streamType = listing.streamType;
    if (code != EngineResult::Ok)
        return code;
    auto archive = std::make_unique<OpenTarArchive>();
    archive->path = m_command.archivePath;
    takeListing(*archive, std::move(listing));
    m_command.handle = TarSessions::instance().add(std::move(archive));
    return EngineResult::Ok;
}

uint16_t Operation::reread(OpenTarArchive& archive)
{
    TarListing listing;
    const uint16_t code = readTarListing(archive.path, m_command.listing == 1, m_command.entryCallback,
                                         m_command.entryCallbackData, m_reporter, listing);
    // A failed reading leaves the directory read before as it was.
    if (code != EngineResult::Ok)
        return code;
    takeListing(archive, std::move(listing));
    return EngineResult::Ok;
}

uint16_t Operation::nextEntry(OpenTarArchive& archive)
{
    if (!archive.kept || archive.nextEntry >= archive.entries.size())
        return UntarResult::NoMoreEntries;
    archive.delivered = recordOf(archive.entries[archive.nextEntry], archive.nextEntry);
    ++archive.nextEntry;
    m_command.entryRecord = &archive.delivered;
    return EngineResult::Ok;
}

} // namespace

uint16_t runUntarCommand(UntarCommand& command)
{
    Utf8ThreadLocale utf8;
    return Operation(command).run();
}

} // namespace quarvo
