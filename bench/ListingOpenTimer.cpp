// Times what a user waits for when an archive is opened in Quarvo's window: the program starting with
// the archive named on its command line, the document read (a compressed TAR archive unpacked
// first), the listing sorted by name and its first page painted. It exits as soon as the page is
// painted, so bench/run measures the whole process against a peer's listing. The steps' own times go
// to standard error.

#include "core/listing/SortOrder.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/listing/ListingView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace quarvo;
using namespace quarvo::gui;

namespace {

// A profile, run-time and cache directory of the timer's own, so no user setting or running instance
// changes what is timed.
StartupEnvironment privateEnvironment(const QTemporaryDir& home, const QString& archive)
{
    StartupEnvironment environment;
    environment.arguments = {archive};
    environment.executablePath = QStringLiteral("/nonexistent/quarvo-open-timer");
    environment.profilePath = home.filePath(QStringLiteral("quarvo.ini")).toStdString();
    environment.programDirectory = QUARVO_PROGRAM_DIRECTORY;
    environment.runtimeDirectory = home.filePath(QStringLiteral("runtime")).toStdString();
    environment.cacheDirectory = home.filePath(QStringLiteral("cache")).toStdString();
    environment.showBanner = false;
    std::filesystem::create_directories(environment.runtimeDirectory);
    ::chmod(environment.runtimeDirectory.c_str(), 0700);
    return environment;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarvo-open-timer ARCHIVE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer clock;
    clock.start();
    QApplication qtApplication(argc, argv);
    QTemporaryDir home;
    const QString archive = QString::fromLocal8Bit(argv[1]);
    auto application = std::make_unique<ZipApplication>(privateEnvironment(home, archive));
    const qint64 started = clock.elapsed();
    if (application->start()) {
        std::fprintf(stderr, "quarvo-open-timer: the program ended at start-up\n");
        return 1;
    }
    DocumentWindow* window = application->mainWindow()->activeDocumentWindow();
    ListingView* listing = window ? window->findChild<ListingView*>() : nullptr;
    if (!listing) {
        std::fprintf(stderr, "quarvo-open-timer: %s did not open in a listing\n", argv[1]);
        return 1;
    }
    const qint64 opened = clock.elapsed();
    listing->setSort(SortOrder::FileName);
    const qint64 sorted = clock.elapsed();
    listing->viewport()->grab();
    const qint64 painted = clock.elapsed();
    std::fprintf(stderr, "rows %d: Qt %lld ms, open %lld ms, sort %lld ms, paint %lld ms\n", listing->rowCount(),
                 started, opened - started, sorted - opened, painted - sorted);
    // Closing would ask whether to keep an unpacked copy; the timer has what it came for.
    home.remove();
    std::fflush(stderr);
    std::_Exit(0);
}
