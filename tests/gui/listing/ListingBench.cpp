// Times the listing of a large archive: reading a 100,000-entry directory, building the listing
// window, every sort order, a filter, selecting all, switching the display form and repainting while
// scrolling. A measuring tool run by hand on an optimised build, not a test:
//   QT_QPA_PLATFORM=offscreen listing_bench [entry count [screenshot.png]]
// With a file name it also saves pictures of the listing after the first paint and in the names-only
// form (the name with "-names" added before ".png"), to check their looks.

#include "core/framework/Document.h"
#include "core/listing/SortOrder.h"
#include "core/settings/AppSettings.h"
#include "core/ui/SilentUserInterface.h"
#include "core/zip/ZipDirectoryReader.h"
#include "core/zip/ZipRecords.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingSource.h"
#include "gui/listing/ListingView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>

using namespace quarvo;

namespace {

class BenchDocument : public Document {
public:
    bool onOpenDocument(const std::string&) override { return true; }
};

// The listing's view of an archive read by the directory reader.
class ReaderSource : public gui::ListingSource {
public:
    explicit ReaderSource(ZipDirectoryReader& reader) : m_reader(reader) {}
    const std::vector<std::unique_ptr<ZipEntry>>& entries() const override { return m_reader.entries(); }
    uint64_t totalEntryCount() const override { return m_reader.archive().entriesTotal; }
    uint64_t totalUncompressedBytes() const override
    {
        uint64_t total = 0;
        for (const auto& entry : m_reader.entries())
            total += entry->uncompressedSize;
        return total;
    }
    bool isCheckedOut() const override { return false; }
    EntryOpenState openState(const ZipEntry&) const override { return EntryOpenState::NotOpen; }
    Document& document() override { return m_document; }

private:
    ZipDirectoryReader& m_reader;
    BenchDocument m_document;
};

// An archive of empty stored files spread over directories, with varied names, dates and sizes in the
// directory records. The end record's 16-bit count holds the total modulo 65,536, as writers do.
void writeArchive(const std::string& path, int count)
{
    std::vector<uint8_t> locals;
    std::vector<uint8_t> directory;
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245 + 12345; };
    const char* extensions[] = {"TXT", "DOC", "C", "H", "EXE", "DAT", "BMP", ""};
    for (int i = 0; i < count; ++i) {
        std::string name = "DIR" + std::to_string(next() % 200) + "/SUB" + std::to_string(next() % 10) + "/FILE" +
                           std::to_string(next() % 1000000);
        if (const char* extension = extensions[next() % 8]; *extension != '\0')
            name += std::string(".") + extension;
        CentralHeaderFields fields;
        fields.versionMadeBy = 20;
        fields.versionNeeded = 10;
        fields.modDate = uint16_t((next() % 40) << 9 | (1 + next() % 12) << 5 | (1 + next() % 28));
        fields.modTime = uint16_t((next() % 24) << 11 | (next() % 60) << 5);
        fields.uncompressedSize = next() % 50000000;
        fields.compressedSize = fields.uncompressedSize / (1 + next() % 4);
        fields.localHeaderOffset = uint32_t(locals.size());
        LocalHeaderFields local;
        local.versionNeeded = 10;
        appendLocalHeader(locals, local, name);
        appendCentralHeader(directory, fields, name);
    }
    EndRecordFields end;
    end.entriesOnThisDisk = end.entriesTotal = uint16_t(count);
    end.directorySize = uint32_t(directory.size());
    end.directoryOffset = uint32_t(locals.size());
    std::vector<uint8_t> file = std::move(locals);
    file.insert(file.end(), directory.begin(), directory.end());
    appendEndRecord(file, end);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

// CPU time of this thread in milliseconds: on a busy machine the wall time mostly measures the
// other processes.
double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double timed(const char* what, const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    double cpuStart = threadCpuMilliseconds();
    step();
    double cpu = threadCpuMilliseconds() - cpuStart;
    double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-40s %9.1f ms wall %9.1f ms cpu\n", what, ms, cpu);
    std::fflush(stdout);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir directory;
    std::string archive = directory.filePath("large.zip").toStdString();
    writeArchive(archive, count);

    SilentUserInterface ui;
    ZipDirectoryReader reader(ui, archive);
    timed("read the directory", [&] { reader.readDirectory(); });
    std::printf("  entries read: %zu\n", reader.entries().size());

    ReaderSource source(reader);
    AppSettings settings(directory.filePath("quarvo.ini").toStdString(), directory.path().toStdString());
    std::unique_ptr<gui::ListingPane> pane;
    timed("build the listing (fill, sort by name, lay out)", [&] { pane = std::make_unique<gui::ListingPane>(source, settings); });
    pane->resize(1000, 700);
    gui::ListingView& listing = pane->listing();
    QPixmap firstPage;
    timed("show and paint the first page", [&] {
        pane->show();
        firstPage = pane->grab();
    });
    if (argc > 2)
        firstPage.save(QString::fromLocal8Bit(argv[2]));

    const std::pair<const char*, SortOrder> sorts[] = {
        {"sort by file name", SortOrder::FileName},
        {"sort by path", SortOrder::Path},
        {"sort by extension", SortOrder::Extension},
        {"sort by date/time", SortOrder::DateTime},
        {"sort by uncompressed size", SortOrder::UncompressedSize},
        {"sort by compressed size", SortOrder::CompressedSize},
        {"sort by compression ratio", SortOrder::Ratio},
        {"sort by compression order", SortOrder::CompressionOrder},
    };
    for (const auto& [what, order] : sorts)
        timed(what, [&] { listing.setSort(order); });

    timed("filter *.TXT", [&] { listing.setFilter("*.TXT"); });
    std::printf("  rows shown: %d\n", listing.rowCount());
    timed("filter *.* again", [&] { listing.setFilter("*.*"); });
    timed("select all", [&] { listing.selectAllRows(true); });
    timed("clear the selection", [&] { listing.selectAllRows(false); });
    timed("names only", [&] { listing.setDisplayMode(false); });
    if (argc > 2) {
        QApplication::processEvents();
        pane->grab().save(QString::fromLocal8Bit(argv[2]).replace(QStringLiteral(".png"), QStringLiteral("-names.png")));
    }
    timed("all details", [&] { listing.setDisplayMode(true); });

    QScrollBar* bar = listing.verticalScrollBar();
    const int pages = 100;
    double total = timed("scroll 100 pages down, painting each", [&] {
        for (int page = 0; page < pages; ++page) {
            bar->setValue(bar->value() + bar->pageStep());
            (void)listing.viewport()->grab();
        }
    });
    std::printf("  per page: %.2f ms\n", total / pages);
    return 0;
}
