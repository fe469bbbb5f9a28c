#include "core/app/CommandIds.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PrintCommands.h"
#include "gui/app/ZipApplication.h"
#include "gui/app/ZipWindow.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"
#include "gui/tar/TarWindow.h"

#include "support/ProcessRunner.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::answerMessageBox;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::runProcess;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

namespace {

constexpr int entryCount = 150;
const QString archiveComment = QStringLiteral("Printed by the listing tests");

// N149.TXT down to N000.TXT in the directory, so the listing's name order is not the stored one.
std::string buildArchive(const std::string& path)
{
    ZipBuilder builder;
    for (int i = entryCount - 1; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "N%03d.TXT", i);
        builder.add(ZipBuilder::stored(name, std::string(size_t(i) * 10, 'x')));
    }
    builder.add(ZipBuilder::stored("DOCS/LONGFILENAME.TXT", "long"));
    ZipBuilder::End end;
    end.comment = archiveComment.toStdString();
    writeFile(path, builder.finish(end));
    return path;
}

QString runTool(const std::string& program, const std::vector<std::string>& arguments)
{
    quarvo::testing::ProcessOutcome outcome = runProcess(program, arguments, fs::current_path());
    if (outcome.exitCode != 0)
        qWarning("%s failed: %s", program.c_str(), outcome.err.c_str());
    return QString::fromStdString(outcome.out);
}

int pdfPageCount(const std::string& pdf)
{
    QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runTool("pdfinfo", {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The PDF's page size in points, as pdfinfo reports it.
QSizeF pdfPageSize(const std::string& pdf)
{
    QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(runTool("pdfinfo", {pdf}));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// The text of each page of the PDF: pdftotext ends every page with a form feed.
QStringList pdfPages(const std::string& pdf)
{
    QStringList pages = runTool("pdftotext", {"-layout", pdf, "-"}).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

// Printing the active listing through the application's commands, to PDF files as on a machine
// without a printer, read back with pdftotext and pdfinfo.
class PrintingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    ZipWindow* openArchive(ZipApplication& application)
    {
        std::string path = buildArchive(m_directory->file("LISTING.ZIP"));
        application.openDocumentWithWindow(path);
        return qobject_cast<ZipWindow*>(application.mainWindow()->activeDocumentWindow());
    }

    static QPrinter& sharedPrinter(ZipApplication& application)
    {
        return application.printCommands()->printer().printer();
    }

    // Runs Print, accepting the print dialog as it comes up.
    static void printAccepting(ZipApplication& application)
    {
        whenModalShows([](QWidget* modal) {
            QVERIFY(qobject_cast<QPrintDialog*>(modal));
            static_cast<QDialog*>(modal)->accept();
        });
        QVERIFY(application.commands().run(CommandId::Print));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(quarvo::testing::toolsInstalled({"pdftotext", "pdfinfo"}),
                 "poppler-utils is missing (scripts/ensure-packages.sh installs it)");
    }

    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void theListingPrintsToAPdfFileInItsShownOrder()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        ZipWindow* window = openArchive(application);
        QVERIFY(window);
        ListingView& listing = window->pane().listing();
        // Shown: N000 to N099, in name order; N100 and up are filtered out. The selection of a few
        // rows changes nothing.
        listing.setFilter("N0*");
        listing.selectionModel()->select(listing.model()->index(3, 0), QItemSelectionModel::Select);
        QCOMPARE(listing.rowCount(), 100);

        std::string pdf = m_directory->file("listing.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(pdf));
        printAccepting(application);
        QVERIFY(fs::exists(pdf));

        QStringList pages = pdfPages(pdf);
        int pageCount = pdfPageCount(pdf);
        QVERIFY2(pageCount >= 2, qPrintable(QString::number(pageCount)));
        QCOMPARE(pages.size(), pageCount);
        // Page 1 begins with the archive's name and its comment.
        QStringList firstLines = pages.first().trimmed().split(QLatin1Char('\n'));
        QCOMPARE(firstLines.first().trimmed(), QStringLiteral("LISTING.ZIP"));
        QVERIFY(pages.first().contains(archiveComment));
        // Every shown row once, in the listing's order across the pages; nothing filtered out.
        QString all = pages.join(QString());
        qsizetype previous = -1;
        for (int i = 0; i < 100; ++i) {
            QString name = QStringLiteral("N%1.TXT").arg(i, 3, 10, QLatin1Char('0'));
            qsizetype at = all.indexOf(name);
            QVERIFY2(at > previous, qPrintable(name));
            QCOMPARE(all.count(name), 1);
            previous = at;
        }
        QVERIFY(!all.contains(QStringLiteral("N100.TXT")));
        QVERIFY(!all.contains(QStringLiteral("LONGFILENAME")));
        // "Page N" at the foot of every page but the last.
        for (int page = 1; page <= pageCount; ++page) {
            bool numbered = pages[page - 1].contains(QStringLiteral("Page %1").arg(page));
            QCOMPARE(numbered, page < pageCount);
        }
        // A row's other columns: N042.TXT, 420 bytes stored, so both sizes 420 and 0%.
        QRegularExpression row(QStringLiteral("N042\\.TXT\\s+\\d\\d/\\d\\d/\\d\\d\\s+\\d\\d:\\d\\d\\s+420\\s+420\\s+0%\\s+----"));
        QVERIFY2(all.contains(row), qPrintable(all.left(2000)));
        QVERIFY(application.mainWindow()->close());
    }

    // A TAR listing prints the same way: its name on page 1, no comment, the rows in the shown order
    // and every page but the last numbered.
    void aTarListingPrintsToAPdfFile()
    {
        quarvo::testing::TarBuilder builder;
        for (int i = entryCount - 1; i >= 0; --i)
            builder.add(quarvo::testing::TarBuilder::file("dir/T" + std::to_string(100 + i) + ".C",
                                                          std::string(size_t(i), 't')));
        std::string path = m_directory->file("sources.tar.gz");
        writeFile(path, quarvo::testing::gzipOf(builder.finish()));
        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        auto* window = qobject_cast<TarWindow*>(application.mainWindow()->activeDocumentWindow());
        QVERIFY(window);
        window->pane().listing().setSort(SortOrder::FileName);

        std::string pdf = m_directory->file("tar.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(pdf));
        printAccepting(application);
        QStringList pages = pdfPages(pdf);
        QVERIFY(pages.size() >= 2);
        QCOMPARE(pages.size(), pdfPageCount(pdf));
        QCOMPARE(pages.first().trimmed().split(QLatin1Char('\n')).first().trimmed(),
                 QStringLiteral("sources.tar.gz"));
        QString all = pages.join(QString());
        qsizetype previous = -1;
        for (int i = 0; i < entryCount; ++i) {
            qsizetype at = all.indexOf(QStringLiteral("T%1.C").arg(100 + i));
            QVERIFY2(at > previous, qPrintable(QString::number(i)));
            previous = at;
        }
        for (int page = 1; page <= pages.size(); ++page)
            QCOMPARE(pages[page - 1].contains(QStringLiteral("Page %1").arg(page)), page < pages.size());
        QString offer;
        answerMessageBox(QStringLiteral("No"), &offer);
        QVERIFY(application.mainWindow()->close());
        QCOMPARE(offer, QStringLiteral("Save extracted TAR file: SOURCES.TAR?"));
    }

    // The preview lays out the same pages as the print, starting with as many side by side as the
    // settings say, and keeps the number shown when it closes.
    void thePreviewShowsThePagesOfThePrint()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        QVERIFY(openArchive(application));
        std::string pdf = m_directory->file("all.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(pdf));
        printAccepting(application);
        int printedPages = pdfPageCount(pdf);
        QVERIFY(printedPages >= 3);

        application.settings().previewPages = 2;
        int previewedPages = 0;
        QPrintPreviewWidget::ViewMode startMode = QPrintPreviewWidget::AllPagesView;
        whenModalShows([&](QWidget* modal) {
            auto* preview = modal->findChild<QPrintPreviewWidget*>();
            QVERIFY(qobject_cast<QPrintPreviewDialog*>(modal) && preview);
            previewedPages = preview->pageCount();
            startMode = preview->viewMode();
            preview->setViewMode(QPrintPreviewWidget::SinglePageView);
            static_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(application.commands().run(CommandId::PrintPreview));
        QCOMPARE(previewedPages, printedPages);
        QCOMPARE(startMode, QPrintPreviewWidget::FacingPagesView);
        QCOMPARE(application.settings().previewPages, 1);
        QVERIFY(application.mainWindow()->close());
    }

    // Print Setup changes the one printer that Print uses: landscape pages come out wider than high.
    void printSetupChangesThePrinterThatPrints()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        // Print Setup needs no archive; Print and Print Preview need a listing.
        QVERIFY(application.commands().isEnabled(CommandId::PrintSetup));
        QVERIFY(!application.commands().isEnabled(CommandId::Print));
        QVERIFY(!application.commands().isEnabled(CommandId::PrintPreview));

        whenModalShows([](QWidget* modal) {
            auto* landscape = modal->findChild<QRadioButton*>(QStringLiteral("landscape"));
            QVERIFY(landscape);
            landscape->click();
            static_cast<QDialog*>(modal)->accept();
        });
        QVERIFY(application.commands().run(CommandId::PrintSetup));

        QVERIFY(openArchive(application));
        QVERIFY(application.commands().isEnabled(CommandId::Print));
        std::string pdf = m_directory->file("landscape.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(pdf));
        printAccepting(application);
        QSizeF size = pdfPageSize(pdf);
        QVERIFY2(size.width() > size.height(), qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        QVERIFY(application.mainWindow()->close());
    }

    // A cancelled print writes nothing, nor does one whose archive closed while the dialog was open;
    // a file that cannot be written is told, naming it.
    void aPrintThatCannotGoOnLeavesNoFile()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        ZipWindow* window = openArchive(application);
        QVERIFY(window);

        std::string orphaned = m_directory->file("orphaned.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(orphaned));
        whenModalShows([&](QWidget* modal) {
            application.closeDocument(window->document());
            static_cast<QDialog*>(modal)->accept();
        });
        QVERIFY(application.commands().run(CommandId::Print));
        QVERIFY(!fs::exists(orphaned));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QVERIFY(openArchive(application));

        std::string cancelled = m_directory->file("cancelled.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(cancelled));
        whenModalShows([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
        QVERIFY(application.commands().run(CommandId::Print));
        QVERIFY(!fs::exists(cancelled));

        std::string unwritable = m_directory->file("missing/directory/listing.pdf");
        sharedPrinter(application).setOutputFileName(QString::fromStdString(unwritable));
        QString told;
        whenModalShows([&](QWidget* modal) {
            QVERIFY(qobject_cast<QPrintDialog*>(modal));
            static_cast<QDialog*>(modal)->accept();
            whenModalShows([&](QWidget* message) {
                auto* box = qobject_cast<QMessageBox*>(message);
                QVERIFY(box);
                told = box->text();
                box->accept();
            });
        });
        QVERIFY(application.commands().run(CommandId::Print));
        QCOMPARE(told, QStringLiteral("The listing could not be printed: the file %1 could not be written.")
                           .arg(QString::fromStdString(unwritable)));
        QVERIFY(!fs::exists(m_directory->file("missing")));
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
