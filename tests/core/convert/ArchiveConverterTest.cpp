// The converter on archives made byte by byte: round trips, kinds, names, atomic output and archives
// whose records lie.

#include "ConverterFixture.h"

#include "core/convert/DosStub.h"
#include "core/convert/ExecutableFormat.h"
#include "core/zip/ByteSource.h"

#include <cerrno>
#include <functional>

namespace quarvo::testing {
namespace {

std::string descriptor(const ZipBuilder::Entry& entry, bool signature)
{
    std::string out;
    if (signature)
        putLE32(out, 0x08074b50);
    putLE32(out, entry.crc32);
    putLE32(out, entry.compressedSize);
    putLE32(out, entry.uncompressedSize);
    return out;
}

// Three entries: one plain, one with an entry comment, one followed by a data descriptor with and
// one without its signature; an archive comment at the end.
std::string mixedArchive()
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("readme.txt", "plain text\n"));
    ZipBuilder::Entry commented = ZipBuilder::stored("docs/Long Name.text", randomBytes(3000, 7));
    commented.comment = "entry comment";
    builder.add(commented);
    for (bool signature : {true, false}) {
        ZipBuilder::Entry streamed = ZipBuilder::stored(signature ? "docs/Long Namf.text" : "a+b c.data",
                                                        randomBytes(500, signature ? 8 : 9));
        streamed.flags = 0x0008;
        builder.add(streamed);
        builder.appendRaw(descriptor(streamed, signature));
    }
    ZipBuilder::End end;
    end.comment = "archive comment";
    return builder.finish(end);
}

TEST_F(ConverterTest, PlainToPlainCopiesEveryByteAndJoinedStubsAreDropped)
{
    const std::string archive = mixedArchive();
    const std::string plain = file("plain.zip", archive);
    const std::string joined = file("joined.exe", std::string(1234, 'S') + archive);
    for (const std::string& source : {plain, joined}) {
        ASSERT_TRUE(convert(source, directory.file("out.zip"), ConversionMode::Zip).ok()) << source;
        EXPECT_EQ(readFile(directory.file("out.zip")), archive) << source;
    }
}

TEST_F(ConverterTest, EachFormReadsBackAsItsKindWithEveryEntryKept)
{
    const std::string source = file("mixed.zip", mixedArchive());
    const ArchiveFacts original = readFacts(source);
    struct Case {
        ConversionMode mode;
        int kind;
        bool shortNames;
    };
    for (Case c :
         {Case{ConversionMode::Zip, 0, false}, Case{ConversionMode::DosExe, 1, true},
          Case{ConversionMode::WindowsExe, 2, true}, Case{ConversionMode::LinuxExtractor, 0, false}}) {
        const std::string target = directory.file("out" + std::to_string(int(c.mode)));
        Result<Ok, ConvertError> done = convert(source, target, c.mode);
        ASSERT_TRUE(done.ok()) << describeConvertError(done.error());
        ArchiveFacts converted = readFacts(target);
        EXPECT_EQ(converted.kind, c.kind) << int(c.mode);
        EXPECT_EQ(converted.entries, original.entries) << int(c.mode);
        EXPECT_EQ(converted.comment, "archive comment");
        const std::vector<std::string> expectedNames =
            c.shortNames ? std::vector<std::string>{"README.TXT", "DOCS/LONGNA~1.TEX", "DOCS/LONGNA~2.TEX",
                                                    "A_BC~1.DAT"}
                         : original.names;
        EXPECT_EQ(converted.names, expectedNames) << int(c.mode);
    }
}

TEST_F(ConverterTest, BackToZipFromEitherProgramGivesTheSameArchive)
{
    const std::string source = file("mixed.zip", mixedArchive());
    ASSERT_TRUE(convert(source, directory.file("dos.exe"), ConversionMode::DosExe).ok());
    ASSERT_TRUE(convert(source, directory.file("win.exe"), ConversionMode::WindowsExe).ok());
    ASSERT_TRUE(convert(directory.file("dos.exe"), directory.file("dos.zip"), ConversionMode::Zip).ok());
    ASSERT_TRUE(convert(directory.file("win.exe"), directory.file("win.zip"), ConversionMode::Zip).ok());
    const std::string fromDos = readFile(directory.file("dos.zip"));
    EXPECT_EQ(fromDos, readFile(directory.file("win.zip")));
    EXPECT_EQ(readFacts(directory.file("dos.zip")).kind, 0);
    // The local header carries the same short name as the central one.
    size_t count = 0;
    for (size_t at = fromDos.find("DOCS/LONGNA~2.TEX"); at != std::string::npos;
         at = fromDos.find("DOCS/LONGNA~2.TEX", at + 1))
        ++count;
    EXPECT_EQ(count, 2u);
}

TEST_F(ConverterTest, ProgramPartIsThePaddedStubAndTheMovedImage)
{
    const std::string source = file("mixed.zip", mixedArchive());
    Result<DosStubLayout, ConvertError> stub = layOutDosStub(builtInDosStub());
    ASSERT_TRUE(stub.ok());
    ASSERT_TRUE(convert(source, directory.file("dos.exe"), ConversionMode::DosExe).ok());
    ASSERT_TRUE(convert(source, directory.file("win.exe"), ConversionMode::WindowsExe).ok());
    const std::string dos = readFile(directory.file("dos.exe"));
    const std::string win = readFile(directory.file("win.exe"));
    const std::string program(stub->program.begin(), stub->program.end());
    EXPECT_EQ(dos.substr(0, program.size()), program);
    EXPECT_EQ(dos.substr(program.size(), stub->paddedLength - program.size()),
              std::string(stub->paddedLength - program.size(), '\0'));
    EXPECT_EQ(dos.substr(stub->paddedLength, 4), "PK\x03\x04");
    EXPECT_EQ(win.substr(stub->paddedLength, 2), "NE");
}

TEST_F(ConverterTest, EmptyArchiveBecomesTheProgramPartAndAnEndRecordPointingPastIt)
{
    const std::string source = file("empty.zip", ZipBuilder().finish());
    ASSERT_TRUE(convert(source, directory.file("empty.exe"), ConversionMode::DosExe).ok());
    const std::string out = readFile(directory.file("empty.exe"));
    const uint32_t padded = layOutDosStub(builtInDosStub())->paddedLength;
    ASSERT_EQ(out.size(), padded + 22u);
    std::string expectedEnd = ZipBuilder::endRecord(0, 0, 0, 0, 0, padded, "");
    EXPECT_EQ(out.substr(padded), expectedEnd);
    EXPECT_EQ(readFacts(directory.file("empty.exe")).kind, 1);
}

TEST_F(ConverterTest, Zip64FieldsAndRecordsAreKeptWithTheNewOffsets)
{
    // One entry whose sizes stand in its ZIP64 extra field, one plain; ZIP64 end records and an end
    // record that saturates every field, as 7-Zip and zip -fz write them.
    const std::string data = randomBytes(700, 3);
    ZipBuilder::Entry wide = ZipBuilder::stored("wide.bin", data);
    wide.versionNeeded = 45;
    wide.compressedSize = wide.uncompressedSize = 0xFFFFFFFF;
    wide.extra = ZipBuilder::zip64Extra({data.size(), data.size()});
    ZipBuilder local;
    local.add(wide).add(ZipBuilder::stored("narrow.txt", "small"));
    const size_t localSize = local.size();
    std::string body = local.finish().substr(0, localSize);
    std::string directoryBytes;
    for (const auto& entry : local.entries())
        directoryBytes += ZipBuilder::centralHeader(entry);
    body += directoryBytes;
    body += ZipBuilder::zip64EndRecords(2, directoryBytes.size(), localSize, body.size());
    body += ZipBuilder::endRecord(0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, "");
    const std::string source = file("zip64.zip", body);
    const ArchiveFacts original = readFacts(source);
    ASSERT_EQ(original.entries.size(), 2u);
    ASSERT_EQ(original.entries[0].uncompressedSize, data.size());
    for (ConversionMode mode : {ConversionMode::Zip, ConversionMode::DosExe, ConversionMode::WindowsExe}) {
        ASSERT_TRUE(convert(source, directory.file("out"), mode).ok());
        EXPECT_EQ(readFacts(directory.file("out")).entries, original.entries);
        ScriptedUserInterface ui;
        ZipDirectoryReader reader(ui, directory.file("out"));
        ASSERT_TRUE(reader.readDirectory());
        EXPECT_TRUE(reader.archive().zip64);
    }
}

// Stands for write(2) on a disk that fills up after limit bytes.
ReplacingFile::WriteCall diskFullAfter(size_t limit)
{
    auto written = std::make_shared<size_t>(0);
    return [written, limit](int descriptor, const void* data, size_t count) -> ssize_t {
        size_t room = limit - std::min(limit, *written);
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        ssize_t done = ::write(descriptor, data, std::min(count, room));
        if (done > 0)
            *written += static_cast<size_t>(done);
        return done;
    };
}

TEST_F(ConverterTest, AFullDiskLeavesSourceAndTargetAsTheyWereAndNoTemporaryFile)
{
    // Larger than the writer's buffer, so the disk fills while entries are copied, not only at the end.
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("big.bin", randomBytes(700 * 1024, 5)));
    const std::string archive = builder.finish();
    const std::string source = file("big.zip", archive);
    const std::string target = file("target.exe", "the old target");
    for (size_t limit : {size_t{0}, size_t{100}, size_t{256 * 1024 + 10}, archive.size() - 1}) {
        Result<Ok, ConvertError> done =
            convertArchive(source, target, ConversionMode::DosExe, builtInStubs(), diskFullAfter(limit));
        ASSERT_FALSE(done.ok()) << limit;
        EXPECT_EQ(done.error().failure, ConvertFailure::WriteFailed) << limit;
        EXPECT_EQ(readFile(target), "the old target") << limit;
        EXPECT_EQ(readFile(source), archive) << limit;
        EXPECT_EQ(filesIn(directory.path()), (std::set<std::string>{"big.zip", "target.exe"})) << limit;
    }
    // The source as its own target: a failure keeps it whole, a success replaces it.
    ASSERT_FALSE(
        convertArchive(source, source, ConversionMode::DosExe, builtInStubs(), diskFullAfter(1000)).ok());
    EXPECT_EQ(readFile(source), archive);
    ASSERT_TRUE(convert(source, source, ConversionMode::DosExe).ok());
    EXPECT_EQ(readFacts(source).kind, 1);
    EXPECT_EQ(filesIn(directory.path()), (std::set<std::string>{"big.zip", "target.exe"}));
}

// A source whose reads fail from a given offset on, like a disk with a bad sector.
class FailingSource : public ByteSource {
  public:
    FailingSource(const std::string& bytes, uint64_t failFrom)
        : m_memory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())),
          m_failFrom(failFrom)
    {
    }
    uint64_t size() const override { return m_memory.size(); }
    size_t readAt(uint64_t offset, std::span<uint8_t> into) override
    {
        if (offset + into.size() > m_failFrom)
            into = into.first(static_cast<size_t>(m_failFrom - std::min(offset, m_failFrom)));
        return m_memory.readAt(offset, into);
    }

  private:
    MemoryByteSource m_memory;
    uint64_t m_failFrom;
};

TEST_F(ConverterTest, AnUnreadableSourceFailsWithoutTouchingTheTarget)
{
    const std::string archive = mixedArchive();
    const std::string target = file("target.zip", "the old target");
    // Fail inside the first entry's data, inside the directory, and inside the archive comment.
    for (uint64_t failFrom : {uint64_t{40}, uint64_t{archive.size() - 60}, uint64_t{archive.size() - 3}}) {
        FailingSource source(archive, failFrom);
        {
            Result<ReplacingFile, ConvertError> out = ReplacingFile::create(target);
            ASSERT_TRUE(out.ok());
            Result<Ok, ConvertError> done =
                writeConvertedArchive(source, *out, ConversionMode::DosExe, builtInStubs());
            ASSERT_FALSE(done.ok()) << failFrom;
            EXPECT_EQ(done.error().failure, ConvertFailure::SourceUnreadable) << failFrom;
        }
        EXPECT_EQ(readFile(target), "the old target");
        EXPECT_EQ(filesIn(directory.path()), std::set<std::string>{"target.zip"});
    }
    // A source that is no file at all, and one that is missing.
    for (const std::string& source : {directory.path().string(), directory.file("missing.zip")}) {
        Result<Ok, ConvertError> done = convert(source, target, ConversionMode::Zip);
        ASSERT_FALSE(done.ok());
        EXPECT_EQ(done.error().failure, ConvertFailure::SourceUnreadable);
    }
    EXPECT_EQ(filesIn(directory.path()), std::set<std::string>{"target.zip"});
}

TEST_F(ConverterTest, ARenameThatFailsRemovesTheNewFile)
{
    const std::string source = file("mixed.zip", mixedArchive());
    std::filesystem::create_directories(directory.path() / "taken" / "inside");
    Result<Ok, ConvertError> done = convert(source, directory.file("taken"), ConversionMode::Zip);
    ASSERT_FALSE(done.ok());
    EXPECT_EQ(done.error().failure, ConvertFailure::WriteFailed);
    EXPECT_EQ(filesIn(directory.path()), (std::set<std::string>{"mixed.zip", "taken"}));
    done = convert(source, directory.file("no/such/dir.zip"), ConversionMode::Zip);
    ASSERT_FALSE(done.ok());
    EXPECT_EQ(done.error().failure, ConvertFailure::CannotCreateOutput);
}

TEST_F(ConverterTest, RefusesArchivesWhoseRecordsLie)
{
    struct Case {
        const char* what;
        std::function<std::string()> make;
        ConvertFailure failure;
    };
    auto twoEntries = [](const std::function<void(ZipBuilder&)>& spoil, ZipBuilder::End end = {}) {
        ZipBuilder builder;
        builder.add(ZipBuilder::stored("one.txt", "first entry"));
        builder.add(ZipBuilder::stored("two.txt", "second entry"));
        spoil(builder);
        return builder.finish(end);
    };
    const std::vector<Case> cases = {
        {"no archive at all", [] { return std::string(500, 'x'); }, ConvertFailure::NotAnArchive},
        {"a local offset at no local header",
         [&] { return twoEntries([](ZipBuilder& b) { b.entries()[1].localHeaderOffset += 3; }); },
         ConvertFailure::DamagedArchive},
        {"two entries at one local record",
         [&] { return twoEntries([](ZipBuilder& b) { b.entries()[1].localHeaderOffset = 0; }); },
         ConvertFailure::DamagedArchive},
        {"data running into the next record",
         [&] { return twoEntries([](ZipBuilder& b) { b.entries()[0].compressedSize = 100; }); },
         ConvertFailure::DamagedArchive},
        {"a local offset past the directory",
         [&] { return twoEntries([](ZipBuilder& b) { b.entries()[1].localHeaderOffset = 0x7FFFFFF0; }); },
         ConvertFailure::DamagedArchive},
        {"a data descriptor cut off by the directory",
         [&] {
             return twoEntries([](ZipBuilder& b) {
                 b.entries()[1].flags = 0x0008;
                 b.appendRaw("PK\x07\x08");
             });
         },
         ConvertFailure::DamagedArchive},
        {"an end record counting more entries than the directory holds",
         [&] {
             ZipBuilder::End end;
             end.entriesOnThisDisk = end.entriesTotal = 3;
             return twoEntries([](ZipBuilder&) {}, end);
         },
         ConvertFailure::DamagedArchive},
        {"the last disk of a spanned set",
         [&] {
             ZipBuilder::End end;
             end.thisDisk = end.directoryStartDisk = 1;
             return twoEntries([](ZipBuilder&) {}, end);
         },
         ConvertFailure::SpannedArchive},
    };
    const std::string target = file("target.zip", "the old target");
    for (const Case& c : cases) {
        const std::string source = file("hostile.zip", c.make());
        Result<Ok, ConvertError> done = convert(source, target, ConversionMode::DosExe);
        ASSERT_FALSE(done.ok()) << c.what;
        EXPECT_EQ(done.error().failure, c.failure) << c.what << ": " << describeConvertError(done.error());
        EXPECT_EQ(readFile(target), "the old target") << c.what;
        EXPECT_EQ(filesIn(directory.path()), (std::set<std::string>{"hostile.zip", "target.zip"})) << c.what;
    }
}

TEST_F(ConverterTest, HostileStubsFailBeforeAnythingIsReplaced)
{
    const std::string source = file("mixed.zip", mixedArchive());
    const std::string target = file("target.exe", "the old target");
    std::vector<uint8_t> badDos(builtInDosStub().begin(), builtInDosStub().end());
    badDos[exeformat::mz::PageCount] = 9; // nine pages in a file of a few hundred bytes
    std::vector<uint8_t> badImage(builtInWindowsImageRecord().begin(), builtInWindowsImageRecord().end());
    badImage[8 + exeformat::ne::SegmentTableOffset] = 0xFF; // a segment table past the image
    badImage[8 + exeformat::ne::SegmentTableOffset + 1] = 0x7F;
    struct Case {
        ConversionMode mode;
        ConversionStubs stubs;
        ConvertFailure failure;
    };
    const ConversionStubs good = builtInStubs();
    for (const Case& c :
         {Case{ConversionMode::DosExe, {badDos, {}, {}}, ConvertFailure::BadDosStub},
          Case{ConversionMode::WindowsExe, {good.dosStub, badImage, {}}, ConvertFailure::BadWindowsImage},
          Case{ConversionMode::LinuxExtractor, {}, ConvertFailure::MissingExtractor}}) {
        Result<Ok, ConvertError> done = convertArchive(source, target, c.mode, c.stubs);
        ASSERT_FALSE(done.ok());
        EXPECT_EQ(done.error().failure, c.failure);
        EXPECT_EQ(readFile(target), "the old target");
        EXPECT_EQ(filesIn(directory.path()), (std::set<std::string>{"mixed.zip", "target.exe"}));
    }
}

} // namespace
} // namespace quarvo::testing
