#include "gui/dragout/EntryDragOut.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingView.h"

#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <filesystem>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::randomBytes;
using quarvo::testing::readFile;
using quarvo::testing::TarBuilder;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

namespace {

const std::string TextData = "plain text\nsecond line\n";
const std::string BinaryData = randomBytes(70000, 7);

// Selects exactly the rows whose entry is named in names.
void selectNamed(ListingView& listing, const QStringList& names)
{
    listing.selectAllRows(false);
    for (int row = 0; row < listing.rowCount(); ++row) {
        QModelIndex index = listing.model()->index(row, 0);
        if (names.contains(index.data().toString()))
            listing.selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    listing.recountSelection();
}

// Copies every offered path into target, as a file manager does with a drop.
void dropInto(const QList<QUrl>& urls, const fs::path& target)
{
    fs::create_directories(target);
    for (const QUrl& url : urls) {
        const fs::path from = url.toLocalFile().toStdString();
        fs::copy(from, target / from.filename(), fs::copy_options::recursive);
    }
}

} // namespace

// Dragging entries out of ZIP and TAR listings: the drop gets files the engine extracted, the same
// bytes as stored, and nothing is extracted before the drop asks.
class EntryDragOutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

  private slots:
    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void draggedEntriesArriveByteForByte_data()
    {
        QTest::addColumn<QString>("archiveName");
        QTest::newRow("zip") << QStringLiteral("drag.zip");
        QTest::newRow("tar") << QStringLiteral("drag.tar");
    }

    void draggedEntriesArriveByteForByte()
    {
        QFETCH(QString, archiveName);
        const std::string archive = m_directory->file(archiveName.toStdString());
        if (archiveName.endsWith(QStringLiteral(".zip"))) {
            ZipBuilder builder;
            builder.add(ZipBuilder::stored("docs/notes.txt", TextData))
                .add(ZipBuilder::stored("data.bin", BinaryData))
                .add(ZipBuilder::stored("left.txt", "stays"))
                .add(ZipBuilder::stored("folder/", ""))
                .add(ZipBuilder::stored("folder/inner.txt", "inner"));
            writeFile(archive, builder.finish());
        } else {
            TarBuilder builder;
            builder.add(TarBuilder::file("docs/notes.txt", TextData))
                .add(TarBuilder::file("data.bin", BinaryData))
                .add(TarBuilder::file("left.txt", "stays"))
                .add(TarBuilder::directory("folder/"))
                .add(TarBuilder::file("folder/inner.txt", "inner"));
            writeFile(archive, builder.finish());
        }
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        QVERIFY(application.openDocumentWithWindow(archive));
        auto* listing = application.mainWindow()->activeDocumentWindow()->findChild<ListingView*>();
        QVERIFY(listing && listing->entryDragData());

        // Two files from different directories.
        selectNamed(*listing, {QStringLiteral("docs/notes.txt"), QStringLiteral("data.bin")});
        std::unique_ptr<QMimeData> data(listing->entryDragData()(listing->selectedEntries()));
        auto* extracting = qobject_cast<ExtractingMimeData*>(data.get());
        QVERIFY(extracting);
        QVERIFY(data->hasUrls());
        QVERIFY(!extracting->extracted());
        const QList<QUrl> urls = data->urls();
        QVERIFY(extracting->extracted());
        QCOMPARE(urls.size(), 2);
        const fs::path target = m_directory->path() / "desktop";
        dropInto(urls, target);
        QCOMPARE(readFile(target / "notes.txt"), TextData);
        QCOMPARE(readFile(target / "data.bin"), BinaryData);
        QVERIFY(!fs::exists(target / "left.txt"));
        // Asked again, the drop gets the same files without a second extraction.
        QCOMPARE(data->urls(), urls);

        // A directory brings what it holds, and is offered once.
        selectNamed(*listing, {QStringLiteral("folder/"), QStringLiteral("folder/inner.txt")});
        std::unique_ptr<QMimeData> folder(listing->entryDragData()(listing->selectedEntries()));
        const QList<QUrl> folderUrls = folder->urls();
        QCOMPARE(folderUrls.size(), 1);
        dropInto(folderUrls, target);
        QCOMPARE(readFile(target / "folder" / "inner.txt"), std::string("inner"));
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(EntryDragOutTest)
#include "EntryDragOutTest.moc"
