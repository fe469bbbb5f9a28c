#include "DialogTestSupport.h"

#include "core/dialogs/ArchiveFileFilters.h"
#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "gui/dialogs/CheckOutDialog.h"
#include "gui/dialogs/CompressFilesDialog.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/DirectoryTree.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/dialogs/FileRequestDialog.h"
#include "gui/dialogs/UnzipOptionsDialog.h"
#include "gui/dialogs/ZipOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace quarvo;
using namespace quarvo::gui;
using namespace quarvo::testing;

namespace {

std::string question(const QString& directory)
{
    return "Directory \"" + directory.toStdString() + "\" does not exist. Create it?";
}

std::string failure(const QString& directory)
{
    return "Directory \"" + directory.toStdString() + "\" could not be created.";
}

AddFilesDialogValues removableArchive()
{
    AddFilesDialogValues values;
    values.title = "Compress Files (A.ZIP)";
    values.archiveOnRemovableDrive = true;
    return values;
}

} // namespace

class DirectoryDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void compressDialogSaysWhySpanningIsNotOffered()
    {
        AnsweringUserInterface ui;
        struct Case {
            bool hasArchive;
            bool removable;
            bool selfExtractor;
            QString shown;
        };
        const Case cases[] = {
            {true, false, false, QStringLiteral("(For Removeable Media Only)")},
            {true, true, true, QStringLiteral("(For Non Self Extracting ZIPs Only)")},
            {false, false, false, QStringLiteral("(For Non Self Extracting ZIPs Only)")},
        };
        for (const Case& c : cases) {
            AddFilesDialogValues values;
            values.hasArchive = c.hasArchive;
            values.archiveOnRemovableDrive = c.removable;
            values.archiveIsSelfExtractor = c.selfExtractor;
            values.spanDiskType = 3;
            values.backupEntireDrive = true;
            CompressFilesDialog dialog(values, ui);
            QCOMPARE(dialog.spanList()->currentText(), c.shown);
            QCOMPARE(dialog.spanList()->currentIndex(), 0);
            QVERIFY(!dialog.spanList()->isEnabled());
            QVERIFY(!dialog.backupBox()->isEnabled());
        }
    }

    void compressDialogCouplesSpanBackupRecurseAndStorePath()
    {
        AnsweringUserInterface ui;
        CompressFilesDialog dialog(removableArchive(), ui);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Compress Files (A.ZIP)"));
        QCOMPARE(dialog.commandList()->count(), 6);
        QCOMPARE(dialog.spanList()->count(), 7);
        QVERIFY(dialog.spanList()->isEnabled());
        QVERIFY(!dialog.backupBox()->isEnabled());
        dialog.spanList()->setCurrentIndex(1);
        QVERIFY(dialog.backupBox()->isEnabled());
        dialog.spanList()->setCurrentIndex(0);
        QVERIFY(!dialog.backupBox()->isEnabled());

        dialog.recurseBox()->click();
        QVERIFY(dialog.storePathBox()->isChecked());
        dialog.storePathBox()->click();
        QVERIFY(!dialog.recurseBox()->isChecked());
        dialog.reject();
        QCOMPARE(dialog.result(), DialogResult::Cancel);
    }

    void continueCreatesAMissingLastLevelAndMovesItToTheTopOfTheHistory()
    {
        QTemporaryDir temporary;
        AnsweringUserInterface ui;
        AddFilesDialogValues values = removableArchive();
        values.directoryHistory = {"/a", "/b", "/c", "/d", "/e"};
        values.operationIndex = 3;
        CompressFilesDialog dialog(values, ui);
        dialog.show();
        QCOMPARE(dialog.directoryChooser()->field()->count(), 5);
        const QString target = temporary.filePath(QStringLiteral("new"));
        dialog.directoryChooser()->field()->setEditText(target);
        dialog.passwordField()->setText(QStringLiteral("pw"));
        dialog.methodList()->setCurrentIndex(8);

        ui.answer(DialogResult::Yes);
        click(dialog.continueButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QVERIFY(QDir(target).exists());
        QCOMPARE(ui.messageTexts(), std::vector<std::string>{question(target)});
        const AddFilesDialogValues& chosen = dialog.values();
        QCOMPARE(chosen.sourceDirectory, target.toStdString());
        QCOMPARE(chosen.directoryHistory,
                 (std::array<std::string, 5>{target.toStdString(), "/a", "/b", "/c", "/d"}));
        QCOMPARE(chosen.operationIndex, 3);
        QCOMPARE(chosen.compressionFactor, 8);
        QCOMPARE(chosen.password, std::string("pw"));
    }

    void aKnownDirectoryMovesUpWithoutDuplicate()
    {
        QTemporaryDir temporary;
        const std::string known = temporary.path().toStdString();
        AnsweringUserInterface ui;
        ExtractDialogValues values;
        values.directoryHistory = {"/a", "/b", known, "/d", ""};
        values.destinationDirectory = "/a";
        ExtractFilesDialog dialog(values, ui);
        dialog.show();
        QCOMPARE(dialog.directoryChooser()->field()->count(), 4); // up to the first empty entry
        // What the user types stays as typed, even when it begins a remembered directory.
        QLineEdit* typed = dialog.directoryChooser()->field()->lineEdit();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        typed->setFocus();
        typed->clear();
        QTest::keyClicks(typed, QStringLiteral("/"));
        QCOMPARE(typed->text(), QStringLiteral("/"));
        // Picking the third entry from the drop-down moves the tree there as well.
        dialog.directoryChooser()->field()->setCurrentIndex(2);
        emit dialog.directoryChooser()->field()->activated(2);
        QCOMPARE(dialog.directoryChooser()->tree()->directory(), QDir::cleanPath(temporary.path()));
        click(dialog.executeButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QCOMPARE(dialog.values().directoryHistory, (std::array<std::string, 5>{known, "/a", "/b", "/d", ""}));
        QCOMPARE(ui.messages().size(), size_t(0));
    }

    void missingTwoLevelsOrARelativeNameCannotBeCreatedAndTheDialogStaysOpen()
    {
        QTemporaryDir temporary;
        const QString twoLevels = temporary.filePath(QStringLiteral("one/two"));
        const QString relative = QStringLiteral("quarvo-not-here");
        for (const QString& directory : {twoLevels, relative}) {
            AnsweringUserInterface ui;
            CheckOutDialog dialog(CheckOutDialogValues{}, ui);
            dialog.show();
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Check Out"));
            dialog.directoryChooser()->field()->setEditText(directory);
            ui.answer(DialogResult::Yes);
            ui.answer(DialogResult::Ok);
            click(dialog.okButton());
            QVERIFY(dialog.isVisible());
            QCOMPARE(ui.messageTexts(), (std::vector<std::string>{question(directory), failure(directory)}));
            QVERIFY(!QDir(temporary.filePath(QStringLiteral("one"))).exists());
            QVERIFY(!QDir(relative).exists());

            ui.answer(DialogResult::No);
            click(dialog.okButton());
            QVERIFY(dialog.isVisible());
            QCOMPARE(ui.unscriptedMessages(), 0);
            dialog.reject();
        }
    }

    void checkOutTakesThePasswordAndATreeChoice()
    {
        QTemporaryDir temporary;
        QVERIFY(QDir(temporary.path()).mkdir(QStringLiteral("sub")));
        AnsweringUserInterface ui;
        CheckOutDialogValues values;
        values.destinationDirectory = temporary.path().toStdString();
        CheckOutDialog dialog(values, ui);
        dialog.show();
        DirectoryTree* tree = dialog.directoryChooser()->tree();
        const QString sub = QDir::cleanPath(temporary.filePath(QStringLiteral("sub")));
        QTreeWidgetItem* item = tree->itemFor(sub);
        QVERIFY(item);
        emit tree->itemActivated(item, 0);
        QCOMPARE(dialog.directoryChooser()->field()->currentText(), sub);
        dialog.passwordField()->setText(QStringLiteral("pw"));
        click(dialog.okButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QCOMPARE(dialog.values().destinationDirectory, sub.toStdString());
        QCOMPARE(dialog.values().password, std::string("pw"));
        QCOMPARE(dialog.values().directoryHistory[0], sub.toStdString());
    }

    void extractWithoutSelectionOffersAllFiles()
    {
        AnsweringUserInterface ui;
        ExtractDialogValues values;
        values.selectionAvailable = false;
        values.filesToExtract = FilesToExtract::Selected;
        ExtractFilesDialog dialog(values, ui);
        QVERIFY(!dialog.selectedFilesButton()->isEnabled());
        QVERIFY(dialog.allFilesButton()->isChecked());
        QCOMPARE(dialog.commandList()->itemText(3), QStringLiteral("Test Zip File Integrity"));

        ExtractDialogValues withSelection;
        ExtractFilesDialog other(withSelection, ui);
        QVERIFY(other.selectedFilesButton()->isEnabled());
        QVERIFY(other.selectedFilesButton()->isChecked());
    }

    void extractOptionsEditTheUnzipOptionsAndBringThemBack()
    {
        AppSettings settings("/nonexistent/quarvo.ini", "/");
        UnzipOptionsDialog options(settings);
        AnsweringUserInterface ui;
        ExtractDialogValues values;
        values.overwrite = true;
        ExtractFilesDialog dialog(values, ui);
        dialog.setOptionsDialogs(&options, nullptr, &settings);
        dialog.show();
        dialog.passwordField()->setText(QStringLiteral("typed"));

        bool sawDialogValues = false;
        whenModalShows([&](QWidget* modal) {
            QCOMPARE(modal, &options);
            sawDialogValues =
                options.overwriteBox()->isChecked() && options.passwordField()->text() == "typed";
            options.overwriteBox()->setChecked(false);
            options.recreateBox()->setChecked(true);
            click(options.okButton());
        });
        click(dialog.optionsButton());
        QVERIFY(sawDialogValues);
        QVERIFY(!dialog.overwriteBox()->isChecked());
        QVERIFY(dialog.recreateBox()->isChecked());
        QCOMPARE(settings.unzipOptions.recreate, 1);

        // Cancel brings nothing back.
        whenModalShows([&](QWidget*) {
            options.recreateBox()->setChecked(false);
            click(options.cancelButton());
        });
        click(dialog.optionsButton());
        QVERIFY(dialog.recreateBox()->isChecked());
        dialog.reject();
    }

    void tarArchivesOpenTheUntarOptions()
    {
        AppSettings settings("/nonexistent/quarvo.ini", "/");
        UnzipOptionsDialog unzip(settings);
        UntarOptionsDialog untar(settings);
        AnsweringUserInterface ui;
        ExtractDialogValues values;
        values.archiveKind = ArchiveKind::Tar;
        values.recreate = true;
        ExtractFilesDialog dialog(values, ui);
        dialog.setOptionsDialogs(&unzip, &untar, &settings);
        dialog.show();

        QWidget* shown = nullptr;
        whenModalShows([&](QWidget* modal) {
            shown = modal;
            QVERIFY(untar.recreateBox()->isChecked());
            untar.overwriteBox()->setChecked(true);
            click(untar.saveButton());
        });
        click(dialog.optionsButton());
        QCOMPARE(shown, &untar);
        QVERIFY(dialog.overwriteBox()->isChecked());
        QCOMPARE(settings.untarOptions.tarOverwrite, 1);
        QCOMPARE(settings.unzipOptions.overwrite, 0);
        dialog.reject();
    }

    void compressOptionsKeepSpanningOffForAFixedDisk()
    {
        AppSettings settings("/nonexistent/quarvo.ini", "/");
        ZipOptionsDialog options(settings);
        AnsweringUserInterface ui;
        AddFilesDialogValues values = removableArchive();
        values.archiveOnRemovableDrive = false;
        CompressFilesDialog dialog(values, ui);
        dialog.setOptionsDialog(&options, &settings);
        dialog.show();

        whenModalShows([&](QWidget*) {
            options.spanList()->setCurrentIndex(1);
            options.recurseBox()->click();
            options.methodList()->setCurrentIndex(0);
            click(options.okButton());
        });
        click(dialog.optionsButton());
        QVERIFY(dialog.recurseBox()->isChecked());
        QVERIFY(dialog.storePathBox()->isChecked());
        QCOMPARE(dialog.methodList()->currentIndex(), 0);
        QCOMPARE(dialog.spanList()->currentText(), QStringLiteral("(For Removeable Media Only)"));
        QVERIFY(!dialog.backupBox()->isEnabled());

        dialog.directoryChooser()->field()->setEditText(QDir::tempPath());
        click(dialog.continueButton());
        QCOMPARE(dialog.values().spanDiskType, 0);
        QVERIFY(dialog.values().recurse);
    }

    void archiveFileDialogsShowTheirFiltersAndModes()
    {
        FileRequestDialog open(openArchiveRequest(), FileRequestDialog::Purpose::Open);
        QCOMPARE(open.windowTitle(), QStringLiteral("Open ZIP File"));
        QCOMPARE(open.fileMode(), QFileDialog::ExistingFiles);
        QCOMPARE(open.nameFilters(),
                 (QStringList{"All Archives (*.zip *.exe *.tar *.tgz *.taz *.gz *.z)", "ZIP (*.zip)",
                              "Self Extract (*.exe)", "TAR (*.tar)", "ZIP Config file (*.cfz)",
                              "UNZIP Config file (*.cfu)", "All Files (*)"}));

        FileDialogRequest request;
        request.title = "New ZIP File";
        request.defaultExtension = "zip";
        request.filters = {{"ZIP, Self (*.zip,*.exe)", {"*.zip", "*.exe"}}, {"ZIP (*.zip)", {"*.zip"}}};
        FileRequestDialog save(request, FileRequestDialog::Purpose::Save);
        QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(save.defaultSuffix(), QStringLiteral("zip"));
        QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(save.nameFilters().front(), QStringLiteral("ZIP, Self (*.zip *.exe)"));
        QVERIFY(save.chosenPaths().empty());
    }
};

QTEST_MAIN(DirectoryDialogsTest)
#include "DirectoryDialogsTest.moc"
