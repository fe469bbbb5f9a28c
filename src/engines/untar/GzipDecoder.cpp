#include "engines/untar/GzipDecoder.h"

#include "engines/untar/StreamFormat.h"

#include <algorithm>
#include <new>
#include <string_view>

namespace quarvo {

namespace {

constexpr size_t OutputBlockSize = 256 * 1024;
// zlib's window bits for a GZIP wrapper only (15 bits of window, plus 16).
constexpr int GzipWindowBits = 15 + 16;

} // namespace

GzipDecoder::GzipDecoder(std::unique_ptr<ByteStream> source, Warn warn)
    : m_source(std::move(source)), m_warn(std::move(warn)), m_output(OutputBlockSize)
{
    if (inflateInit2(&m_zlib, GzipWindowBits) != Z_OK)
        throw std::bad_alloc();
}

GzipDecoder::~GzipDecoder()
{
    inflateEnd(&m_zlib);
}

Result<bool, StreamError> GzipDecoder::haveInput()
{
    if (!m_input.empty())
        return true;
    Result<std::span<const uint8_t>, StreamError> chunk = m_source->read();
    if (!chunk)
        return chunk.error();
    m_input = chunk.value();
    return !m_input.empty();
}

Result<std::span<const uint8_t>, StreamError> GzipDecoder::read()
{
    if (m_pendingError) {
        StreamError error = *m_pendingError;
        m_pendingError.reset();
        m_state = State::Finished;
        return error;
    }
    m_zlib.next_out = m_output.data();
    m_zlib.avail_out = static_cast<uInt>(m_output.size());
    while (m_zlib.avail_out > 0 && m_state != State::Finished) {
        std::optional<StreamError> error = m_state == State::InMember ? inflateStep() : afterMember();
        if (!error)
            continue;
        const size_t produced = m_output.size() - m_zlib.avail_out;
        if (produced == 0) {
            m_state = State::Finished;
            return *error;
        }
        m_pendingError = std::move(error);
        break;
    }
    return std::span<const uint8_t>(m_output.data(), m_output.size() - m_zlib.avail_out);
}

std::optional<StreamError> GzipDecoder::inflateStep()
{
    Result<bool, StreamError> input = haveInput();
    if (!input)
        return input.error();
    if (!input.value())
        return StreamError{StreamProblem::Truncated, "the GZIP data ends inside member " +
                                                         std::to_string(m_member) +
                                                         " (the file is truncated)"};
    m_zlib.next_in = const_cast<Bytef*>(m_input.data());
    m_zlib.avail_in = static_cast<uInt>(std::min<size_t>(m_input.size(), UINT32_MAX));
    const uInt before = m_zlib.avail_in;
    const int result = inflate(&m_zlib, Z_NO_FLUSH);
    m_input = m_input.subspan(before - m_zlib.avail_in);
    switch (result) {
    case Z_OK:
    case Z_BUF_ERROR: // no progress without more input; the next step fetches it
        return std::nullopt;
    case Z_STREAM_END:
        m_state = State::BetweenMembers;
        return std::nullopt;
    case Z_MEM_ERROR:
        throw std::bad_alloc();
    default:
        return zlibError();
    }
}

std::optional<StreamError> GzipDecoder::afterMember()
{
    Result<bool, StreamError> input = haveInput();
    if (!input)
        return input.error();
    if (!input.value()) {
        m_state = State::Finished;
        return std::nullopt;
    }
    // A member starts with the magic bytes; a lone first byte at the very end is read as the start
    // of one, and found truncated.
    if (m_input[0] == streamformat::Gzip[0] && (m_input.size() < 2 || m_input[1] == streamformat::Gzip[1])) {
        if (inflateReset(&m_zlib) != Z_OK)
            return zlibError();
        ++m_member;
        m_state = State::InMember;
        return std::nullopt;
    }
    // Whatever follows the last member is read to its end, to tell padding from other data.
    uint64_t trailing = 0;
    bool onlyZeros = true;
    for (;;) {
        onlyZeros =
            onlyZeros && std::all_of(m_input.begin(), m_input.end(), [](uint8_t b) { return b == 0; });
        trailing += m_input.size();
        m_input = {};
        Result<bool, StreamError> more = haveInput();
        if (!more)
            return more.error();
        if (!more.value())
            break;
    }
    m_state = State::Finished;
    if (!onlyZeros && m_warn)
        m_warn(std::to_string(trailing) + (trailing == 1 ? " byte" : " bytes") +
               " of other data after the end of the GZIP data were ignored");
    return std::nullopt;
}

StreamError GzipDecoder::zlibError() const
{
    const std::string member = "member " + std::to_string(m_member);
    const std::string_view message = m_zlib.msg ? m_zlib.msg : "";
    if (message == "incorrect data check")
        return {StreamProblem::Checksum, "CRC error: the unpacked data of GZIP " + member +
                                             " does not match the CRC-32 in its trailer"};
    if (message == "incorrect length check")
        return {StreamProblem::Checksum,
                "the unpacked data of GZIP " + member + " does not have the length its trailer records"};
    std::string detail = "the GZIP data of " + member + " is damaged";
    if (!message.empty())
        detail += " (" + std::string(message) + ")";
    return {StreamProblem::Damaged, detail};
}

} // namespace quarvo
