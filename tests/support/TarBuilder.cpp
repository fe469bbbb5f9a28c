#include "support/TarBuilder.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

namespace quarvo::testing {

namespace {

constexpr size_t Block = 512;

// An octal field of width bytes: digits, then a NUL.
void putOctal(std::string& header, size_t offset, size_t width, uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1),
                  static_cast<unsigned long long>(value));
    std::memcpy(&header[offset], text, width - 1);
}

void putText(std::string& header, size_t offset, size_t width, const std::string& text)
{
    std::memcpy(&header[offset], text.data(), std::min(width, text.size()));
}

} // namespace

TarBuilder::Entry TarBuilder::file(std::string name, std::string data, uint32_t mode)
{
    Entry entry;
    entry.name = std::move(name);
    entry.data = std::move(data);
    entry.mode = mode;
    return entry;
}

TarBuilder::Entry TarBuilder::directory(std::string name, uint32_t mode)
{
    Entry entry;
    entry.name = std::move(name);
    entry.type = '5';
    entry.mode = mode;
    return entry;
}

TarBuilder::Entry TarBuilder::symbolicLink(std::string name, std::string target)
{
    Entry entry;
    entry.name = std::move(name);
    entry.type = '2';
    entry.mode = 0777;
    entry.linkName = std::move(target);
    return entry;
}

TarBuilder::Entry TarBuilder::hardLink(std::string name, std::string target)
{
    Entry entry = symbolicLink(std::move(name), std::move(target));
    entry.type = '1';
    entry.mode = 0644;
    return entry;
}

TarBuilder::Entry TarBuilder::special(std::string name, char type)
{
    Entry entry;
    entry.name = std::move(name);
    entry.type = type;
    return entry;
}

std::string TarBuilder::header(const Entry& entry)
{
    // POSIX ustar: name 0/100, mode 100/8, uid 108/8, gid 116/8, size 124/12, mtime 136/12,
    // checksum 148/8, typeflag 156, linkname 157/100, magic 257/6 "ustar\0", version 263/2 "00".
    std::string header(Block, '\0');
    putText(header, 0, 100, entry.name);
    putOctal(header, 100, 8, entry.mode);
    putOctal(header, 108, 8, 0);
    putOctal(header, 116, 8, 0);
    putOctal(header, 124, 12, entry.declaredSize.value_or(entry.data.size()));
    putOctal(header, 136, 12, static_cast<uint64_t>(entry.modificationTime));
    header[156] = entry.type;
    putText(header, 157, 100, entry.linkName);
    putText(header, 257, 6, std::string("ustar\0", 6));
    putText(header, 263, 2, "00");
    unsigned sum = 8 * ' ';
    for (size_t i = 0; i < Block; ++i)
        sum += (i >= 148 && i < 156) ? 0 : static_cast<uint8_t>(header[i]);
    if (entry.breakChecksum)
        sum += 1;
    char text[8];
    std::snprintf(text, sizeof text, "%06o", sum);
    std::memcpy(&header[148], text, 6);
    header[154] = '\0';
    header[155] = ' ';
    return header;
}

TarBuilder& TarBuilder::add(const Entry& entry)
{
    m_bytes += header(entry);
    m_bytes += entry.data;
    m_bytes.append((Block - entry.data.size() % Block) % Block, '\0');
    return *this;
}

std::string TarBuilder::finish() const
{
    return m_bytes + std::string(2 * Block, '\0');
}

std::string gzipOf(const std::string& data, const char* storedName)
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    gz_header header{};
    if (storedName) {
        header.name = reinterpret_cast<Bytef*>(const_cast<char*>(storedName));
        deflateSetHeader(&z, &header);
    }
    std::string out(deflateBound(&z, data.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

} // namespace quarvo::testing
