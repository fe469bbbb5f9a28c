// Feeds arbitrary bytes to the directory reader as an archive file, with the port the command line
// uses (every question cancelled). The reader must not read out of bounds, and its work must stay
// within a fixed bound whatever the bytes: a reading that opens more disks, or takes more bytes
// from the file, than any honest reading of one file needs is reported as a finding instead of
// passing as a slow input.

#include "core/ui/SilentUserInterface.h"
#include "core/zip/ZipDirectoryReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// A reading goes through one file at most once, once more from its first disk for a spanned
// directory, and then once per further disk; with the same file standing for every disk nothing
// new can come from more than a few of them.
constexpr int MaximumDisksOpened = 16;
// Far more than those passes over the largest input the fuzzer is given.
constexpr uint64_t MaximumBytesRead = 32ull << 20;

// The command line's answers (Cancel to every question), plus a meter of the reader's work: every
// question of a reading is a disk it opens again, and the sequential position of the reader's file
// at each question and each record is how far it has read. The reader asks its clock once per
// named record; the clock moves on by more than the status interval each time, so every name is
// shown, and the run does not depend on real time.
class MeteringUserInterface : public quarvo::SilentUserInterface {
  public:
    void attach(quarvo::ZipDirectoryReader& reader)
    {
        m_reader = &reader;
        reader.setClock([this] {
            check();
            m_now += 1000;
            return m_now;
        });
    }

    void startReading()
    {
        m_disksOpened = 0;
        m_bytesOfEarlierDisks = 0;
    }

    int showMessage(const quarvo::MessageBoxRequest& request) override
    {
        m_bytesOfEarlierDisks += readSoFar();
        ++m_disksOpened;
        check();
        return SilentUserInterface::showMessage(request);
    }

    void setStatusText(const std::string&) override { check(); }

  private:
    uint64_t readSoFar() const
    {
        quarvo::ArchiveFile& file = m_reader->file();
        return std::min(file.position(), file.size());
    }

    void check() const
    {
        const uint64_t bytes = m_bytesOfEarlierDisks + readSoFar();
        if (m_disksOpened <= MaximumDisksOpened && bytes <= MaximumBytesRead)
            return;
        std::fprintf(stderr, "zipdirectory: unbounded work: %d disks opened, %llu bytes read of a %llu-byte file\n",
                     m_disksOpened, static_cast<unsigned long long>(bytes),
                     static_cast<unsigned long long>(m_reader->file().size()));
        std::abort();
    }

    quarvo::ZipDirectoryReader* m_reader = nullptr;
    int64_t m_now = 0;
    int m_disksOpened = 0;
    uint64_t m_bytesOfEarlierDisks = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int descriptor = memfd_create("zipdirectory", 0);
    if (descriptor < 0)
        return 0;
    if (size > 0 && write(descriptor, data, size) != static_cast<ssize_t>(size)) {
        close(descriptor);
        return 0;
    }
    MeteringUserInterface ui;
    quarvo::ZipDirectoryReader reader(ui, "/proc/self/fd/" + std::to_string(descriptor));
    ui.attach(reader);
    ui.startReading();
    reader.readDirectory();
    ui.startReading();
    reader.readDirectory(); // a re-read hands entries over by name
    close(descriptor);
    return 0;
}
