#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "core/ui/DialogResult.h"
#include "gui/app/InstanceChannel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/dialogs/ZipOptionsDialog.h"
#include "gui/dropcompress/DropCompressDialog.h"

#include "support/ProcessRunner.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <future>
#include <sstream>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::ScriptedUserInterface;
using quarvo::testing::whenDialogShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// The names `unzip -Z1` lists in the archive, sorted.
std::vector<std::string> unzipNames(const std::string& archive)
{
    std::istringstream listed(
        quarvo::testing::runProcess("unzip", {"-Z1", archive}, fs::temp_directory_path()).out);
    std::vector<std::string> names;
    for (std::string line; std::getline(listed, line);)
        names.push_back(line);
    std::sort(names.begin(), names.end());
    return names;
}

QStringList items(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QStringList items(const QComboBox* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->itemText(row);
    return texts;
}

// Stand-in documents: the dialog only compares their addresses and asks for nothing else.
struct FakeDocuments {
    char zip = 0, tar = 0, job = 0, created = 0;
    Document* of(char& place) { return reinterpret_cast<Document*>(&place); }
};

} // namespace

class DropCompressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    // Two files and a directory with a subdirectory, as a file manager would drop them.
    std::vector<std::string> makeDropFiles() const
    {
        writeFile(m_directory->file("drop/one.txt"), "one\n");
        writeFile(m_directory->file("drop/two.bin"), std::string("\x00\x01\xfe\xff", 4));
        writeFile(m_directory->file("drop/folder/three.txt"), "three\n");
        writeFile(m_directory->file("drop/folder/deeper/four.txt"), "four\n");
        return {m_directory->file("drop/one.txt"), m_directory->file("drop/two.bin"),
                m_directory->file("drop/folder")};
    }

    // What every add of these files must give: the two files and the directory's whole tree. The
    // engine stores a file named by its full path with that path, and the files a directory's
    // "/*.*" line finds with their paths below that directory.
    static bool holdsDroppedFiles(const std::vector<std::string>& names)
    {
        auto has = [&](const std::string& tail) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                return name == tail || name.ends_with("/" + tail);
            });
        };
        return names.size() >= 4 && has("one.txt") && has("two.bin") && has("three.txt") &&
               has("deeper/four.txt");
    }

    // Opens an empty archive at path in its window.
    static ZipDocument* openEmptyArchive(ZipApplication& application, const std::string& path)
    {
        writeFile(path, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        return dynamic_cast<ZipDocument*>(application.openDocumentWithWindow(path));
    }

  private slots:
    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(quarvo::testing::pendingModalAnswers(), 0);
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void theDialogListsTargetsCouplesItsBoxesAndRefusesWhatCannotTakeFiles()
    {
        AppSettings settings(m_directory->file("quarvo.ini"), m_directory->path().string());
        settings.zipOptions.recurse = 0;
        settings.zipOptions.storePath = 1;
        settings.zipOptions.compressionFactor = 8;
        ScriptedUserInterface ui;
        FakeDocuments documents;
        std::vector<DropTarget> targets = {{documents.of(documents.zip), "/a/one.zip", true, false},
                                           {documents.of(documents.tar), "/a/renamed.zip", false, false},
                                           {documents.of(documents.job), "/a/job.cfz", false, false}};
        std::vector<Document*> shown;
        DropCompressDialog::Services services;
        services.targets = [&] { return targets; };
        services.showDocument = [&](Document* document) { shown.push_back(document); };
        services.createArchive = [&]() -> Document* {
            targets.push_back({documents.of(documents.created), "/a/new.zip", true, true});
            return targets.back().document;
        };
        DropCompressDialog dialog({"/x/a b.txt", "/x/dir/*.*"}, settings, ui, services,
                                  documents.of(documents.tar));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Drag & Drop Files To Compress"));
        QCOMPARE(items(dialog.filesList()), (QStringList{"/x/a b.txt", "/x/dir/*.*"}));
        QCOMPARE(items(dialog.targetList()), (QStringList{"/a/one.zip", "/a/renamed.zip", "/a/job.cfz"}));
        QCOMPARE(dialog.targetList()->currentIndex(), 1);
        QCOMPARE(dialog.methodList()->currentIndex(), 8);
        QCOMPARE(dialog.commandList()->currentText(), QStringLiteral("Add Files"));
        QVERIFY(!dialog.recurseBox()->isChecked());
        QVERIFY(dialog.storePathBox()->isChecked());
        // Spanning is for ZIP archives on removable media only.
        QVERIFY(!dialog.spanList()->isEnabled());
        QVERIFY(!dialog.spanLabel()->isEnabled());
        QCOMPARE(dialog.spanList()->currentText(), QStringLiteral("(For Removeable Media Only)"));

        dialog.recurseBox()->click();
        QVERIFY(dialog.storePathBox()->isChecked());
        dialog.storePathBox()->click();
        QVERIFY(!dialog.recurseBox()->isChecked());

        // A target is judged by its document kind, whatever its name ends in.
        struct Case {
            int target;
            const char* message;
        };
        for (const Case& test : {Case{1, "Files may be added to ZIP files only."},
                                 Case{2, "Files may be added to ZIP files only."}}) {
            dialog.targetList()->setCurrentIndex(test.target);
            emit dialog.targetList()->activated(test.target);
            ui.answerMessage(DialogResult::Ok);
            dialog.executeButton()->click();
            QCOMPARE(ui.messageTexts().back(), std::string(test.message));
            QCOMPARE(dialog.result(), 0);
        }
        QCOMPARE(shown, (std::vector<Document*>{documents.of(documents.tar), documents.of(documents.job)}));

        // New makes an archive and takes it as the target; it lies on removable media here.
        dialog.newButton()->click();
        QCOMPARE(dialog.targetList()->currentText(), QStringLiteral("/a/new.zip"));
        QVERIFY(dialog.spanList()->isEnabled());
        QCOMPARE(dialog.spanList()->itemText(0), QStringLiteral("Don't Span Disks"));
        dialog.commandList()->setCurrentIndex(4);
        dialog.executeButton()->click();
        QCOMPARE(dialog.result(), int(DialogResult::Ok));
        QCOMPARE(dialog.targetDocument(), documents.of(documents.created));
        QCOMPARE(dialog.action(), 4);
        QCOMPARE(dialog.fileList(), (std::vector<std::string>{"/x/a b.txt", "/x/dir/*.*"}));

        // The dialog's values reach the settings only through Options, and stay there even when the
        // options are cancelled; OK there brings the options' values back.
        ZipOptionsDialog options(settings);
        services.optionsDialog = &options;
        DropCompressDialog withOptions({"/x/a"}, settings, ui, services, documents.of(documents.zip));
        withOptions.recurseBox()->setChecked(true);
        withOptions.methodList()->setCurrentIndex(3);
        withOptions.passwordField()->setText(QStringLiteral("secret"));
        QCOMPARE(settings.zipOptions.compressionFactor, 8);
        whenDialogShows<ZipOptionsDialog>([](ZipOptionsDialog* dialog) { dialog->reject(); });
        withOptions.optionsButton()->click();
        QCOMPARE(settings.zipOptions.recurse, 1);
        QCOMPARE(settings.zipOptions.compressionFactor, 3);
        QCOMPARE(settings.zipOptions.password, std::string("secret"));
        whenDialogShows<ZipOptionsDialog>([](ZipOptionsDialog* dialog) {
            dialog->methodList()->setCurrentIndex(0);
            dialog->storePathBox()->click();
            dialog->okButton()->click();
        });
        withOptions.optionsButton()->click();
        QCOMPARE(withOptions.methodList()->currentIndex(), 0);
        QVERIFY(!withOptions.storePathBox()->isChecked());
        QVERIFY(!withOptions.recurseBox()->isChecked());

        // Without any target there is nothing to compress to.
        targets.clear();
        DropCompressDialog empty({"/x/a"}, settings, ui, services, nullptr);
        QCOMPARE(empty.targetList()->currentIndex(), -1);
        ui.answerMessage(DialogResult::Ok);
        empty.executeButton()->click();
        QCOMPARE(ui.messageTexts().back(), std::string("Select a file to compress to."));
    }

    void droppedFilesAndDirectoriesAreAddedToTheChosenArchive()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        application.settings().zipOptions.recurse = 1;
        application.settings().zipOptions.storePath = 1;
        const std::vector<std::string> paths = makeDropFiles();
        const std::string archive = m_directory->file("target.zip");
        ZipDocument* document = openEmptyArchive(application, archive);
        QVERIFY(document);
        openEmptyArchive(application, m_directory->file("other.zip"));

        QStringList listed;
        QString chosen;
        whenDialogShows<DropCompressDialog>([&](DropCompressDialog* dialog) {
            listed = items(dialog->filesList());
            // The active window's archive is offered first; the user picks the other one.
            chosen = dialog->targetList()->currentText();
            const int index = dialog->targetList()->findText(QString::fromStdString(archive));
            dialog->targetList()->setCurrentIndex(index);
            emit dialog->targetList()->activated(index);
            dialog->executeButton()->click();
        });
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        MainWindow* window = application.mainWindow();
        QDragEnterEvent enter(window->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(window->rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(window, &drop);

        QCOMPARE(listed, (QStringList{QString::fromStdString(paths[0]), QString::fromStdString(paths[1]),
                                      QString::fromStdString(paths[2] + "/*.*")}));
        QCOMPARE(chosen, QString::fromStdString(m_directory->file("other.zip")));
        const std::vector<std::string> names = unzipNames(archive);
        std::string joined;
        for (const std::string& name : names)
            joined += name + ",";
        QVERIFY2(holdsDroppedFiles(names), joined.c_str());
        QCOMPARE(fs::file_size(m_directory->file("other.zip")), uintmax_t(22));
        // The archive's document noticed the change and read the new entries.
        QVERIFY(document->entries().size() >= 4);
        QVERIFY(application.mainWindow()->close());
    }

    void anAddRequestThroughTheInstanceSocketAddsTheSame()
    {
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        application.settings().zipOptions.recurse = 1;
        application.settings().zipOptions.storePath = 1;
        const std::vector<std::string> paths = makeDropFiles();
        const std::string archive = m_directory->file("requested.zip");
        writeFile(archive, std::string("PK\x05\x06", 4) + std::string(18, '\0'));

        QString chosen;
        whenDialogShows<DropCompressDialog>([&](DropCompressDialog* dialog) {
            chosen = dialog->targetList()->currentText();
            dialog->executeButton()->click();
        });
        std::string request = "[Add(\"" + archive + "\")";
        for (const std::string& path : paths)
            request += " \"" + path + "\"";
        request += ")]";
        const QString socket = application.instanceSocketPath();
        auto answer =
            std::async(std::launch::async, [&] { return sendExecuteString(socket, request, 30000); });
        while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCOMPARE(answer.get(), std::optional<bool>(true));
        QCOMPARE(chosen, QString::fromStdString(archive));
        const std::vector<std::string> names = unzipNames(archive);
        std::string joined;
        for (const std::string& name : names)
            joined += name + ",";
        QVERIFY2(holdsDroppedFiles(names), joined.c_str());
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(DropCompressTest)
#include "DropCompressTest.moc"
