// Every decoder and the TAR reader fed their input in 1-, 7- and 31-byte pieces must give exactly
// what they give reading it whole, decoded on the reader's thread or ahead on another: no reader may
// depend on how its input happens to be cut or when it arrives.

#include "engines/untar/DecodedStream.h"
#include "engines/untar/FileStream.h"
#include "engines/untar/TarReader.h"
#include "engines/untar/Utf8ThreadLocale.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quarvo::testing {
namespace {

using Tar = TarBuilder;

// The entries as "name=data" lines, then the warnings (which come as soon as the decoder looks past
// its last member, wherever that falls among the entries), or the first error.
std::string readAll(const std::string& bytes, size_t pieces, Decoding decoding)
{
    Utf8ThreadLocale utf8;
    const std::span<const uint8_t> input(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::string seen;
    std::string warnings;
    Result<DecodedStream, StreamError> stream = openDecodedStream(
        std::make_unique<MemoryStream>(input, pieces),
        [&](const std::string& warning) { warnings += "warning: " + warning + "\n"; }, decoding);
    if (!stream)
        return "error: " + stream.error().detail;
    TarReader reader(*stream->data);
    for (;;) {
        Result<TarStep, TarError> step = reader.next();
        if (!step)
            return seen + "error: " + step.error().detail + step.error().stream.detail;
        if (!step->entry)
            break;
        std::string data;
        Result<bool, TarError> read = reader.readData([&](uint64_t offset, std::span<const uint8_t> block) {
            data.resize(offset);
            data.append(reinterpret_cast<const char*>(block.data()), block.size());
            return true;
        });
        if (!read)
            return seen + "error: " + read.error().detail + read.error().stream.detail;
        seen += step->entry->name + "=" + data + "\n";
    }
    // What follows the archive is read too, so the decoders' checks run.
    for (;;) {
        Result<std::span<const uint8_t>, StreamError> rest = stream->data->read();
        if (!rest)
            return seen + "error: " + rest.error().detail;
        if (rest->empty())
            return seen + warnings;
    }
}

TEST(AwkwardReads, DecodersAndTheTarReaderDoNotDependOnHowTheInputIsCut)
{
    if (std::system("for t in compress bzip2 xz zstd lzip; do command -v $t >/dev/null || exit 1; done") != 0)
        GTEST_SKIP() << "a compressor is missing (./test installs them)";
    TemporaryDirectory work;
    Tar tar;
    tar.add(Tar::directory("d/"))
        .add(Tar::file("d/text.txt", std::string(3000, 'a') + "\n"))
        .add(Tar::file("d/random.bin", randomBytes(70000, 4)))
        .add(Tar::file("empty", ""));
    const std::string plain = tar.finish();
    writeFile(work.path() / "a.tar", plain);
    const std::string expected = "d/=\nd/text.txt=" + std::string(3000, 'a') +
                                 "\n\nd/random.bin=" + randomBytes(70000, 4) + "\nempty=\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    std::vector<Case> cases = {
        {"plain", plain, expected},
        {"GZIP", gzipOf(plain), expected},
        {"GZIP in two members", gzipOf(plain.substr(0, 1000)) + gzipOf(plain.substr(1000)), expected},
        {"GZIP and garbage", gzipOf(plain) + "junk",
         expected + "warning: 4 bytes of other data after the end of the GZIP "
                    "data were ignored\n"},
    };
    for (const char* tool : {"compress", "bzip2", "xz", "zstd -q", "lzip"}) {
        const std::string out = work.file("out");
        ASSERT_EQ(std::system(("cd " + work.path().string() + " && " + tool + " -c a.tar > out").c_str()), 0);
        cases.push_back({tool, readFile(out), expected});
    }
    for (const Case& c : cases) {
        ASSERT_EQ(readAll(c.bytes, SIZE_MAX, Decoding::Inline), c.expected) << c.what;
        for (Decoding decoding : {Decoding::Inline, Decoding::Concurrent}) {
            for (size_t pieces : {size_t{1}, size_t{7}, size_t{31}, SIZE_MAX})
                EXPECT_EQ(readAll(c.bytes, pieces, decoding), c.expected)
                    << c.what << " in " << pieces << "-byte reads, decoded "
                    << (decoding == Decoding::Inline ? "inline" : "concurrently");
        }
    }
}

TEST(AwkwardReads, ErrorsComeAtTheSamePlaceHoweverTheInputIsCut)
{
    Tar tar;
    tar.add(Tar::file("one", randomBytes(5000, 1))).add(Tar::file("two", randomBytes(5000, 2)));
    const std::string gzip = gzipOf(tar.finish());
    const std::string cases[] = {gzip.substr(0, gzip.size() / 2), tar.finish().substr(0, 6000)};
    for (const std::string& bytes : cases) {
        const std::string whole = readAll(bytes, SIZE_MAX, Decoding::Inline);
        ASSERT_NE(whole.find("error: "), std::string::npos) << whole.substr(0, 200);
        for (Decoding decoding : {Decoding::Inline, Decoding::Concurrent}) {
            for (size_t pieces : {size_t{1}, size_t{7}, size_t{31}})
                EXPECT_EQ(readAll(bytes, pieces, decoding), whole) << pieces;
        }
    }
}

} // namespace
} // namespace quarvo::testing
