#include "engines/untar/StreamOperation.h"

#include "core/text/PathParts.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"
#include "engines/common/Destination.h"
#include "engines/common/EngineReporter.h"
#include "engines/common/ExistingFile.h"
#include "engines/untar/DecodedStream.h"
#include "engines/untar/FileStream.h"
#include "engines/untar/StreamKinds.h"
#include "engines/untar/UnpackedName.h"

#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace quarvo {

namespace {

// Permission bits only: set-user-ID, set-group-ID and sticky are never given to an unpacked file.
constexpr mode_t PermissionBits = 0777;
// How many "name (n).ext" forms FreshName tries before it gives up.
constexpr unsigned MaximumAlternatives = 1000;

// A text field of the request, which must hold its NUL within the field.
std::optional<std::string> fieldText(const char* field, size_t size)
{
    const void* end = std::memchr(field, 0, size);
    if (!end)
        return std::nullopt;
    return std::string(field, static_cast<const char*>(end));
}

template <size_t N> bool putText(char (&field)[N], std::string_view text)
{
    if (text.size() >= N)
        return false;
    std::memcpy(field, text.data(), text.size());
    field[text.size()] = 0;
    return true;
}

uint16_t codeOf(StreamProblem problem)
{
    return problem == StreamProblem::ReadFailed ? EngineResult::CannotOpenArchive : EngineResult::CrcError;
}

class Operation {
  public:
    explicit Operation(StreamRequest& request)
        : m_request(request),
          m_reporter({request.messageCallback, request.messageCallbackData, request.statusCallback,
                      request.statusCallbackData, nullptr, nullptr},
                     nullptr)
    {
    }

    uint32_t run();

  private:
    uint32_t identify();
    uint32_t unpackOrTest();
    // Opens the input and its decoder; the failure is the result, with the message set.
    Result<DecodedStream, uint16_t> openInput();
    Result<PendingFile, uint16_t> createOutput(Destination& destination, const std::string& name,
                                               std::string& chosenName);
    uint16_t fail(uint16_t code, const std::string& text)
    {
        if (!putText(m_request.message, text))
            putText(m_request.message, text.substr(0, StreamMessageSize - 4) + "...");
        return code;
    }
    std::string notCompressed() const
    {
        return m_shownInput + " is not compressed: it begins with none of the signatures of GZIP, compress, "
                              "BZIP2, XZ, Zstandard or LZIP data.";
    }

    StreamRequest& m_request;
    EngineReporter m_reporter;
    std::string m_inputPath;
    std::string m_shownInput;
};

uint32_t Operation::run()
{
    m_request.message[0] = 0;
    m_request.outputPath[0] = 0;
    m_request.holdsTar = 0;
    m_request.unpackedSize = 0;
    m_request.warnings = 0;
    std::optional<std::string> input = fieldText(m_request.inputPath, sizeof m_request.inputPath);
    if (!input || input->empty())
        return fail(EngineResult::BadArgument, "No input file was named.");
    m_inputPath = *input;
    m_shownInput = escapeControlCharacters(fileNamePart(m_inputPath));
    switch (m_request.function) {
    case StreamFunction::Identify:
        return identify();
    case StreamFunction::Unpack:
    case StreamFunction::Test:
        return unpackOrTest();
    default:
        return fail(EngineResult::BadArgument,
                    "Unknown function " + std::to_string(m_request.function) + ".");
    }
}

Result<DecodedStream, uint16_t> Operation::openInput()
{
    Result<std::unique_ptr<FileStream>> file = FileStream::open(m_inputPath);
    if (!file)
        return fail(EngineResult::CannotOpenArchive, "Cannot open " + escapeControlCharacters(m_inputPath) +
                                                         ": " + file.error().message + ".");
    Result<DecodedStream, StreamError> decoded =
        openDecodedStream(std::move(file).value(), [this](const std::string& warning) {
            ++m_request.warnings;
            m_reporter.message(m_shownInput + ": " + warning + ".");
        });
    if (!decoded)
        return fail(codeOf(decoded.error().problem), m_shownInput + ": " + decoded.error().detail + ".");
    m_request.holdsTar = decoded->holdsTar ? 1 : 0;
    return std::move(decoded).value();
}

uint32_t Operation::identify()
{
    // What the first bytes say is the answer even when the data behind them is damaged: unpacking
    // will tell that in its own words.
    Result<std::unique_ptr<FileStream>> file = FileStream::open(m_inputPath);
    if (!file) {
        fail(EngineResult::CannotOpenArchive,
             "Cannot open " + escapeControlCharacters(m_inputPath) + ": " + file.error().message + ".");
        return StreamType::Plain;
    }
    // Only the first block is looked at: nothing is worth decoding ahead.
    Result<DecodedStream, StreamError> decoded =
        openDecodedStream(std::move(file).value(), {}, Decoding::Inline);
    if (!decoded) {
        fail(EngineResult::CrcError, m_shownInput + ": " + decoded.error().detail + ".");
        Result<std::unique_ptr<FileStream>> again = FileStream::open(m_inputPath);
        Result<std::unique_ptr<ReplayStream>, StreamError> head =
            again ? ReplayStream::lookAhead(std::move(again).value(), 8)
                  : Result<std::unique_ptr<ReplayStream>, StreamError>(StreamError{});
        return head ? streamTypeOf(head.value()->head()) : StreamType::Plain;
    }
    m_request.holdsTar = decoded->holdsTar ? 1 : 0;
    if (!decoded->compressed())
        fail(EngineResult::BadArchive, notCompressed());
    else
        putText(m_request.outputPath, unpackedNameFor(fileNamePart(m_inputPath)));
    return decoded->type;
}

uint32_t Operation::unpackOrTest()
{
    const bool test = m_request.function == StreamFunction::Test;
    Result<DecodedStream, uint16_t> decoded = openInput();
    if (!decoded)
        return decoded.error();
    if (!decoded->compressed())
        return fail(EngineResult::BadArchive, notCompressed());

    std::optional<Destination> destination;
    std::optional<PendingFile> output;
    std::string outputName;
    if (!test) {
        std::optional<std::string> work = fieldText(m_request.workDirectory, sizeof m_request.workDirectory);
        if (!work || work->empty())
            return fail(EngineResult::BadArgument, "No work directory was given.");
        Result<Destination> opened = Destination::open(*work);
        if (!opened)
            return fail(EngineResult::CannotCreate, "Cannot open the directory " +
                                                        escapeControlCharacters(*work) + ": " +
                                                        opened.error().message + ".");
        destination.emplace(std::move(opened).value());
        Result<PendingFile, uint16_t> created =
            createOutput(*destination, unpackedNameFor(fileNamePart(m_inputPath)), outputName);
        if (!created)
            return created.error();
        output.emplace(std::move(created).value());
        const std::string directory = work->back() == '/' ? *work : *work + "/";
        if (!putText(m_request.outputPath, directory + outputName))
            return fail(EngineResult::CannotCreate, "The path of the unpacked file is too long.");
    }

    const std::string status = (test ? "Testing: " : "Unpacking: ") + m_shownInput;
    if (!m_reporter.status(status, 0))
        return EngineResult::Cancelled;
    ByteStream& data = *decoded->data;
    for (;;) {
        Result<std::span<const uint8_t>, StreamError> chunk = data.read();
        if (!chunk) {
            m_request.outputPath[0] = 0;
            const std::string kept = test ? "" : " No file was kept.";
            return fail(codeOf(chunk.error().problem),
                        m_shownInput + ": " + chunk.error().detail + "." + kept);
        }
        if (chunk->empty())
            break;
        if (output && !output->write(chunk.value())) {
            m_request.outputPath[0] = 0;
            return fail(EngineResult::WriteError, "Writing " + escapeControlCharacters(outputName) +
                                                      " failed (the disk may be full). No file was kept.");
        }
        m_request.unpackedSize += chunk->size();
        if (!m_reporter.status(status, percentOf(data.filePosition(), data.fileSize()))) {
            m_request.outputPath[0] = 0;
            return EngineResult::Cancelled;
        }
    }
    m_reporter.status(status, 100);
    if (!output)
        return EngineResult::Ok;
    // Like gzip, the unpacked file takes the archive's permission bits and modification time.
    struct stat archive {};
    mode_t mode = 0644;
    struct timespec modified {
        ::time(nullptr), 0
    };
    if (::stat(m_inputPath.c_str(), &archive) == 0) {
        mode = archive.st_mode & PermissionBits;
        modified = archive.st_mtim;
    }
    Result<Ok> committed = output->commit(mode, modified);
    if (!committed) {
        m_request.outputPath[0] = 0;
        return fail(EngineResult::CannotCreate, "Cannot create " + escapeControlCharacters(outputName) +
                                                    ": " + committed.error().message + ".");
    }
    return EngineResult::Ok;
}

Result<PendingFile, uint16_t> Operation::createOutput(Destination& destination, const std::string& name,
                                                      std::string& chosenName)
{
    chosenName = name;
    for (unsigned n = 2; n <= MaximumAlternatives + 1; ++n) {
        Result<std::optional<struct stat>> existing = destination.statusOf({chosenName});
        if (!existing)
            return fail(EngineResult::CannotCreate, "Cannot create " + escapeControlCharacters(chosenName) +
                                                        ": " + existing.error().message + ".");
        if (existing->has_value() && m_request.existingOutput == StreamExisting::FreshName) {
            chosenName = alternativeName(name, n);
            continue;
        }
        if (existing->has_value()) {
            const ExistingFileDecision decision = decideOverExisting(
                existing.value(), {.overwrite = m_request.existingOutput == StreamExisting::Replace}, 0,
                escapeControlCharacters(chosenName));
            if (!decision.write)
                return fail(decision.code, decision.message);
        }
        Result<PendingFile> file = destination.createFile({chosenName});
        if (!file)
            return fail(EngineResult::CannotCreate, "Cannot create " + escapeControlCharacters(chosenName) +
                                                        ": " + file.error().message + ".");
        return std::move(file).value();
    }
    return fail(EngineResult::CannotCreate,
                "Cannot find a free name for " + escapeControlCharacters(name) + ".");
}

} // namespace

uint32_t runStreamRequest(StreamRequest& request)
{
    return Operation(request).run();
}

} // namespace quarvo
