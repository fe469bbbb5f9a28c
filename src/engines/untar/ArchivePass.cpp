#include "engines/untar/ArchivePass.h"

#include "core/text/PathParts.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/untar/FileStream.h"
#include "engines/untar/StreamKinds.h"

namespace quarvo {

namespace {

// Decodes as UTF-8 the way flag bit 11 of a ZIP name asks, which is what a TAR name is read as.
constexpr uint16_t Utf8Flag = 0x0800;

uint16_t codeOf(StreamProblem problem)
{
    return problem == StreamProblem::ReadFailed ? EngineResult::CannotOpenArchive : EngineResult::CrcError;
}

} // namespace

std::string shownEntryName(std::string_view storedName)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(storedName.data());
    return escapeControlCharacters(decodeArchiveText({bytes, storedName.size()}, Utf8Flag));
}

ArchivePass::ArchivePass(std::string shownArchive, EngineReporter& reporter)
    : m_shownArchive(std::move(shownArchive)), m_reporter(reporter)
{
}

Result<std::unique_ptr<ArchivePass>, PassFailure> ArchivePass::open(const std::string& path,
                                                                    EngineReporter& reporter)
{
    std::unique_ptr<ArchivePass> pass(new ArchivePass(escapeControlCharacters(fileNamePart(path)), reporter));
    Result<std::unique_ptr<FileStream>> file = FileStream::open(path);
    if (!file)
        return PassFailure{EngineResult::CannotOpenArchive, "Cannot open " + escapeControlCharacters(path) +
                                                                ": " + file.error().message + "."};
    ArchivePass* self = pass.get();
    Result<DecodedStream, StreamError> stream =
        openDecodedStream(std::move(file).value(), [self](const std::string& warning) {
            ++self->m_warnings;
            self->m_reporter.message(self->m_shownArchive + ": " + warning + ".");
        });
    if (!stream)
        return pass->streamFailure(stream.error(), "");
    pass->m_stream = std::move(stream).value();
    if (!pass->m_stream.holdsTar) {
        const std::string what = pass->m_stream.compressed()
                                     ? " holds " + std::string(streamTypeName(pass->m_stream.type)) +
                                           " data that is not a TAR archive."
                                     : " is not a TAR archive.";
        return PassFailure{EngineResult::BadArchive, pass->m_shownArchive + what};
    }
    pass->m_reader = std::make_unique<TarReader>(*pass->m_stream.data);
    return pass;
}

Result<std::optional<TarHeader>, PassFailure> ArchivePass::next()
{
    Result<TarStep, TarError> step = m_reader->next();
    if (!step)
        return failureOf(step.error(), false);
    if (step->damagedHeadersSkipped > 0) {
        ++m_damagedHeaders;
        const std::string where =
            m_currentEntry.empty() ? "near the start of the archive" : "after " + m_currentEntry;
        m_reporter.message(m_shownArchive + ": the header " + where +
                           " is damaged (its checksum does not match); skipped to the next good header.");
    }
    if (!step->entry)
        return std::optional<TarHeader>();
    m_currentEntry = shownEntryName(step->entry->name);
    return std::move(step->entry);
}

Result<bool, PassFailure> ArchivePass::readData(const TarReader::DataSink& sink)
{
    Result<bool, TarError> read = m_reader->readData(sink);
    if (!read)
        return failureOf(read.error(), true);
    return read.value();
}

std::optional<PassFailure> ArchivePass::finish()
{
    if (!m_stream.compressed())
        return std::nullopt;
    for (;;) {
        Result<std::span<const uint8_t>, StreamError> chunk = m_stream.data->read();
        if (!chunk) {
            const std::string where =
                m_currentEntry.empty() ? "" : " (the last entry read was " + m_currentEntry + ")";
            PassFailure failure = streamFailure(chunk.error(), "");
            failure.message.insert(failure.message.size() - 1, where);
            return failure;
        }
        if (chunk->empty())
            return std::nullopt;
    }
}

uint32_t ArchivePass::percent() const
{
    return percentOf(m_stream.data ? m_stream.data->filePosition() : 0,
                     m_stream.data ? m_stream.data->fileSize() : 0);
}

PassFailure ArchivePass::failureOf(const TarError& error, bool inData) const
{
    const std::string& entry = m_currentEntry;
    switch (error.problem) {
    case TarProblem::Stream:
        return streamFailure(error.stream, entry);
    case TarProblem::NotTar:
        return {EngineResult::BadArchive, m_shownArchive + " is not a TAR archive."};
    case TarProblem::Truncated:
        if (inData)
            return {EngineResult::CrcError, entry + ": the archive ends inside its data (it is truncated)."};
        return {EngineResult::CrcError, m_shownArchive + ": the archive ends inside the header after " +
                                            entry + " (it is truncated)."};
    case TarProblem::DamagedHeader:
        return {EngineResult::BadArchive,
                m_shownArchive + ": the header after " + entry + " is damaged (" + error.detail + ")."};
    case TarProblem::Unreadable:
        break;
    }
    const std::string where = inData ? entry + ": " : m_shownArchive + ": after " + entry + ": ";
    return {EngineResult::BadArchive, where + error.detail + "."};
}

PassFailure ArchivePass::streamFailure(const StreamError& error, const std::string& entry) const
{
    if (error.problem == StreamProblem::ReadFailed)
        return {codeOf(error.problem), m_shownArchive + " cannot be read: " + error.detail + "."};
    const std::string subject = entry.empty() ? m_shownArchive : entry;
    return {codeOf(error.problem), subject + ": " + error.detail + "."};
}

} // namespace quarvo
