#include "engines/untar/TarReader.h"

#include "engines/api/UntarCommand.h"

#include <archive_entry.h>

#include <new>
#include <string_view>
#include <sys/stat.h>

namespace quarvo {

namespace {

uint32_t entryTypeOf(archive_entry* entry)
{
    if (archive_entry_hardlink(entry))
        return TarEntryType::HardLink;
    switch (archive_entry_filetype(entry)) {
    case AE_IFDIR:
        return TarEntryType::Directory;
    case AE_IFLNK:
        return TarEntryType::SymbolicLink;
    case AE_IFCHR:
        return TarEntryType::CharacterDevice;
    case AE_IFBLK:
        return TarEntryType::BlockDevice;
    case AE_IFIFO:
        return TarEntryType::Fifo;
    case AE_IFSOCK:
        return TarEntryType::Socket;
    default:
        return TarEntryType::File;
    }
}

TarHeader headerOf(archive_entry* entry)
{
    TarHeader header;
    const char* name = archive_entry_pathname(entry);
    header.name = name ? name : "";
    header.type = entryTypeOf(entry);
    const char* target =
        header.type == TarEntryType::HardLink ? archive_entry_hardlink(entry) : archive_entry_symlink(entry);
    header.linkTarget = target ? target : "";
    header.size = archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0
                      ? static_cast<uint64_t>(archive_entry_size(entry))
                      : 0;
    header.mode = archive_entry_mode(entry);
    header.modificationTime = {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)};
    return header;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

} // namespace

TarReader::TarReader(ByteStream& source) : m_source(source), m_archive(archive_read_new())
{
    if (!m_archive)
        throw std::bad_alloc();
}

std::optional<TarError> TarReader::open()
{
    archive* handle = m_archive.get();
    archive_read_support_format_tar(handle);
    archive_read_set_callback_data(handle, this);
    archive_read_set_read_callback(handle, &TarReader::readSource);
    archive_read_set_skip_callback(handle, &TarReader::skipSource);
    if (archive_read_open1(handle) != ARCHIVE_OK)
        return errorNow(TarProblem::NotTar);
    m_opened = true;
    return std::nullopt;
}

la_ssize_t TarReader::readSource(archive* handle, void* self, const void** buffer)
{
    auto* reader = static_cast<TarReader*>(self);
    Result<std::span<const uint8_t>, StreamError> chunk = reader->m_source.read();
    if (!chunk) {
        reader->m_sourceError = chunk.error();
        archive_set_error(handle, EIO, "%s", chunk.error().detail.c_str());
        return -1;
    }
    *buffer = chunk->data();
    return static_cast<la_ssize_t>(chunk->size());
}

la_int64_t TarReader::skipSource(archive*, void* self, la_int64_t request)
{
    auto* reader = static_cast<TarReader*>(self);
    return request > 0 ? static_cast<la_int64_t>(reader->m_source.skip(static_cast<uint64_t>(request))) : 0;
}

Result<TarStep, TarError> TarReader::next()
{
    if (!m_opened) {
        if (std::optional<TarError> error = open())
            return *error;
    }
    TarStep step;
    for (;;) {
        archive_entry* entry = nullptr;
        const int result = archive_read_next_header(m_archive.get(), &entry);
        if (result == ARCHIVE_EOF)
            return step;
        if (result == ARCHIVE_OK || result == ARCHIVE_WARN) {
            step.entry = headerOf(entry);
            return step;
        }
        // A damaged header: libarchive looks for the next good one a block further on, as tar does.
        if (result == ARCHIVE_RETRY) {
            ++step.damagedHeadersSkipped;
            continue;
        }
        const bool first = archive_file_count(m_archive.get()) == 0 && step.damagedHeadersSkipped == 0;
        return errorNow(first ? TarProblem::NotTar : TarProblem::Unreadable);
    }
}

Result<bool, TarError> TarReader::readData(const DataSink& sink)
{
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(m_archive.get(), &block, &size, &offset);
        if (result == ARCHIVE_EOF)
            return false;
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN)
            return errorNow(TarProblem::Unreadable);
        if (size > 0 && !sink(static_cast<uint64_t>(offset), {static_cast<const uint8_t*>(block), size}))
            return true;
    }
}

TarError TarReader::errorNow(TarProblem otherwise) const
{
    TarError error;
    const char* text = archive_error_string(m_archive.get());
    error.detail = text ? text : "";
    if (m_sourceError) {
        error.problem = TarProblem::Stream;
        error.stream = *m_sourceError;
        return error;
    }
    // libarchive says what failed only in words: "Truncated tar archive", "Truncated input file",
    // "Unrecognized archive format", "Damaged tar archive".
    if (contains(error.detail, "Unrecognized archive format"))
        error.problem = TarProblem::NotTar;
    else if (contains(error.detail, "runcated"))
        error.problem = TarProblem::Truncated;
    else if (contains(error.detail, "Damaged"))
        error.problem = TarProblem::DamagedHeader;
    else
        error.problem = otherwise;
    return error;
}

} // namespace quarvo
