// Archives written by Info-ZIP zip, 7-Zip and Python's zipfile, converted to every form and back,
// then checked by the same three programs: every output must test clean in all of them and hold
// every entry's data, CRC and comment in the same order.

#include "ConverterFixture.h"

#include "support/ProcessRunner.h"

namespace quarvo::testing {
namespace {

// Prints, per entry in directory order, its CRC, size, the SHA-256 of its data and its comment, then
// the archive comment; exits 1 when testzip finds a damaged entry.
constexpr const char* DescribeScript = R"(
import hashlib, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    bad = archive.testzip()
    if bad is not None:
        print("damaged:", bad); sys.exit(1)
    for info in archive.infolist():
        data = archive.read(info)
        print(info.CRC, info.file_size, hashlib.sha256(data).hexdigest(), info.comment.hex())
    print("comment", archive.comment.hex())
)";

// Writes the test files with Python: data descriptors (an unseekable output), forced ZIP64 records
// on the second archive, entry and archive comments.
constexpr const char* PythonWriterScript = R"(
import io, sys, zipfile
class Unseekable(io.RawIOBase):
    def __init__(self, f): self.f = f
    def writable(self): return True
    def write(self, b): return self.f.write(b)
with open(sys.argv[1], "wb") as raw:
    with zipfile.ZipFile(Unseekable(raw), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("streamed one.txt", "x" * 5000)
        i = zipfile.ZipInfo("sub dir/streamed two.bin"); i.comment = b"second"
        z.writestr(i, bytes(range(256)) * 40)
        z.comment = b"python streamed"
with zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as z:
    with z.open("forced zip64.txt", "w", force_zip64=True) as f:
        f.write(b"wide " * 3000)
    z.writestr("small.txt", "small")
)";

class ConverterInterop : public ConverterTest {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"zip", "unzip", "7z", "python3"}))
            GTEST_SKIP() << "zip, unzip, 7z and python3 are needed";
        writeFile(directory.path() / "in" / "hello world.txt", std::string(4000, 'h'));
        writeFile(directory.path() / "in" / "Long Directory Name" / "data.bin", randomBytes(20000, 2));
        writeFile(directory.path() / "in" / "Long Directory Name" / "c++ notes.markdown", "notes\n");
        writeFile(directory.path() / "in" / "empty", "");
    }

    ProcessOutcome run(const std::string& program, const std::vector<std::string>& arguments)
    {
        return runProcess(program, arguments, directory.path() / "in");
    }

    std::string describe(const std::string& archive)
    {
        ProcessOutcome outcome = run("python3", {"-c", DescribeScript, archive});
        EXPECT_EQ(outcome.exitCode, 0) << archive << "\n" << outcome.out << outcome.err;
        return outcome.out;
    }

    void expectToolsAccept(const std::string& archive)
    {
        ProcessOutcome unzip = run("unzip", {"-t", archive});
        EXPECT_EQ(unzip.exitCode, 0) << archive << "\n" << unzip.out << unzip.err;
        // As a ZIP archive: by its ".exe" name 7-Zip would first try it as a Windows PE program.
        ProcessOutcome sevenZip = run("7z", {"t", "-tzip", archive});
        EXPECT_EQ(sevenZip.exitCode, 0) << archive << "\n" << sevenZip.out << sevenZip.err;
        EXPECT_EQ(sevenZip.out.find("WARNING"), std::string::npos) << archive << "\n" << sevenZip.out;
    }

    // Converts archive to every form and each program form back to ZIP, checking each result.
    void expectRoundTrips(const std::string& archive)
    {
        const std::string expected = describe(archive);
        struct Step {
            std::string from;
            std::string to;
            ConversionMode mode;
            int kind;
        };
        const std::string base = directory.file(std::filesystem::path(archive).stem().string());
        const std::vector<Step> steps = {
            {archive, base + "-dos.exe", ConversionMode::DosExe, 1},
            {base + "-dos.exe", base + "-dos.zip", ConversionMode::Zip, 0},
            {archive, base + "-win.exe", ConversionMode::WindowsExe, 2},
            {base + "-win.exe", base + "-win.zip", ConversionMode::Zip, 0},
            {archive, base + "-plain.zip", ConversionMode::Zip, 0},
        };
        for (const Step& step : steps) {
            Result<Ok, ConvertError> done = convert(step.from, step.to, step.mode);
            ASSERT_TRUE(done.ok()) << step.from << ": " << describeConvertError(done.error());
            expectToolsAccept(step.to);
            EXPECT_EQ(describe(step.to), expected) << step.to;
            EXPECT_EQ(readFacts(step.to).kind, step.kind) << step.to;
        }
    }
};

TEST_F(ConverterInterop, InfoZipArchivesWithAndWithoutDataDescriptorsAndZip64)
{
    // -fz forces ZIP64 records; zip writing to a pipe streams every entry with a data descriptor.
    const std::string wide = directory.file("infozip-zip64.zip");
    ASSERT_EQ(run("zip", {"-q", "-r", "-fz", wide, "."}).exitCode, 0);
    const std::string streamed = directory.file("infozip-streamed.zip");
    ASSERT_EQ(run("sh", {"-c", "zip -q -r - . | cat > '" + streamed + "'"}).exitCode, 0);
    for (const std::string& archive : {wide, streamed})
        expectRoundTrips(archive);
}

TEST_F(ConverterInterop, SevenZipArchiveAndOneBehindAnExistingStub)
{
    const std::string archive = directory.file("sevenzip.zip");
    ASSERT_EQ(run("7z", {"a", "-tzip", "-bd", archive, "."}).exitCode, 0);
    expectRoundTrips(archive);
    // A stub joined in front with cat, offsets then fixed by zip -A as self-extractor makers do.
    const std::string joined = directory.file("joined.exe");
    writeFile(joined, std::string(3000, '\x90') + readFile(archive));
    ASSERT_EQ(run("zip", {"-A", joined}).exitCode, 0);
    expectRoundTrips(joined);
}

TEST_F(ConverterInterop, PythonArchivesStreamedAndWithForcedZip64)
{
    const std::string streamed = directory.file("python-streamed.zip");
    const std::string wide = directory.file("python-zip64.zip");
    ProcessOutcome written = run("python3", {"-c", PythonWriterScript, streamed, wide});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    expectRoundTrips(streamed);
    expectRoundTrips(wide);
}

} // namespace
} // namespace quarvo::testing
