#include "core/app/CommandIds.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"
#include "gui/tar/TarWindow.h"

#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>

#include <filesystem>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::TarBuilder;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

// TAR archives in the program's own windows: a compressed one unpacked, listed, refreshed and
// closed with the offer to keep its unpacked copy, and a lone compressed file offered at once.
class TarWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    static std::string threeFiles()
    {
        return TarBuilder()
            .add(TarBuilder::file("src/a.c", "int a;\n"))
            .add(TarBuilder::file("src/b.c", std::string(2048, 'b')))
            .add(TarBuilder::file("README", "read me\n"))
            .finish();
    }

    static size_t filesIn(const std::string& directory)
    {
        return fs::exists(directory) ? static_cast<size_t>(std::distance(fs::directory_iterator(directory), {})) : 0;
    }

private slots:
    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void aCompressedTarIsListedInItsWindowAndClosingOffersTheUnpackedCopy()
    {
        std::string path = m_directory->file("src.tgz");
        writeFile(path, quarvo::testing::gzipOf(threeFiles()));
        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        auto* window = qobject_cast<TarWindow*>(application.mainWindow()->activeDocumentWindow());
        QVERIFY(window);
        QCOMPARE(window->pane().listing().rowCount(), 3);
        QCOMPARE(window->titleText(), QStringLiteral("src.tgz(*.*)"));
        QCOMPARE(application.mainWindow()->menuResourceId(), 16);
        QCOMPARE(application.mainWindow()->messageText(), QStringLiteral("Total: 3 file(s) (2.06 KB)"));
        QCOMPARE(application.commands().action(CommandId::DeleteZipFile)->text(), QStringLiteral("&Delete TAR File..."));
        QCOMPARE(application.commands().action(CommandId::TestIntegrity)->text(),
                 QStringLiteral("&Test TAR File Integrity"));
        QVERIFY(!application.commands().action(CommandId::AddFiles)->isEnabled());
        std::string unpack = application.unpackDirectory()->path();
        QCOMPARE(filesIn(unpack), size_t(1));

        // Refresh reads the unpacked copy again and keeps the window.
        QVERIFY(application.commands().run(CommandId::Refresh));
        QCOMPARE(window->pane().listing().rowCount(), 3);

        QString question;
        whenModalShows([&](QWidget* box) {
            question = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        QVERIFY(application.commands().run(CommandId::Close));
        QCOMPARE(question, QStringLiteral("Save extracted TAR file: SRC.TAR?"));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QCOMPARE(filesIn(unpack), size_t(0));
        QVERIFY(application.mainWindow()->close());
    }

    void aLoneCompressedFileOpensNoWindowAndIsOfferedAtOnce()
    {
        std::string path = m_directory->file("notes.txt.gz");
        writeFile(path, quarvo::testing::gzipOf("just text\n"));
        QString title;
        QString fileName;
        whenModalShows([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            title = files->windowTitle();
            fileName = files->selectedFiles().value(0);
            files->reject();
        });
        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        QCOMPARE(title, QStringLiteral("Save inflated file"));
        QVERIFY2(fileName.endsWith(QStringLiteral("/notes.txt")), qPrintable(fileName));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(TarWindowTest)
#include "TarWindowTest.moc"
