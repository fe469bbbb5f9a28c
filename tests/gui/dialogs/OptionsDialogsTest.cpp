#include "DialogTestSupport.h"

#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "gui/dialogs/FontSaveDialog.h"
#include "gui/dialogs/UnzipOptionsDialog.h"
#include "gui/dialogs/ZipOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace quarvo;
using namespace quarvo::gui;
using namespace quarvo::testing;

// The options dialogs over settings whose profile lives in a temporary XDG_CONFIG_HOME, as the
// program's own would.
class OptionsDialogsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_config;
    QByteArray m_oldConfigHome;

    QString profilePath() const { return m_config->filePath(QStringLiteral("quarvo.ini")); }

    // Settings as a fresh run of the program reads them.
    std::unique_ptr<AppSettings> restartedSettings() const
    {
        auto settings = std::make_unique<AppSettings>();
        settings->load();
        return settings;
    }

  private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        QCOMPARE(QString::fromStdString(AppSettings().profilePath()), profilePath());
    }

    void cleanup()
    {
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
        m_config.reset();
    }

    void zipOptionsOfferBackupOnlyWithASpanOption()
    {
        AppSettings settings;
        ZipOptionsDialog dialog(settings);
        dialog.show();
        QCOMPARE(dialog.spanList()->count(), 7);
        QCOMPARE(dialog.spanList()->currentText(), QStringLiteral("Don't Span Disks"));
        QVERIFY(!dialog.backupBox()->isEnabled());

        dialog.spanList()->setCurrentIndex(1);
        QVERIFY(dialog.backupBox()->isEnabled());
        dialog.backupBox()->setChecked(true);
        dialog.spanList()->setCurrentIndex(0);
        QVERIFY(!dialog.backupBox()->isEnabled());
        QVERIFY(dialog.backupBox()->isChecked()); // only enabling follows the span choice
        dialog.reject();

        settings.zipOptions.spanDiskType = 4;
        dialog.show();
        QCOMPARE(dialog.spanList()->currentText(), QStringLiteral("Wipe Disks"));
        QVERIFY(dialog.backupBox()->isEnabled());
        dialog.reject();
    }

    void recurseChecksStorePathAndUncheckingStorePathUnchecksRecurse()
    {
        AppSettings settings;
        ZipOptionsDialog dialog(settings);
        dialog.show();
        QVERIFY(!dialog.recurseBox()->isChecked() && !dialog.storePathBox()->isChecked());

        dialog.recurseBox()->click();
        QVERIFY(dialog.recurseBox()->isChecked());
        QVERIFY(dialog.storePathBox()->isChecked());

        dialog.storePathBox()->click();
        QVERIFY(!dialog.storePathBox()->isChecked());
        QVERIFY(!dialog.recurseBox()->isChecked());

        // Store Path alone is allowed.
        dialog.storePathBox()->click();
        QVERIFY(dialog.storePathBox()->isChecked());
        QVERIFY(!dialog.recurseBox()->isChecked());
        dialog.reject();
    }

    void zipOptionsOkKeepsValuesForTheRunAndSaveWritesExactlyTheirKeys()
    {
        AppSettings settings;
        settings.load();
        ZipOptionsDialog dialog(settings);
        QCOMPARE(dialog.methodList()->count(), 9);
        QCOMPARE(dialog.encryptionList()->count(), 2);

        dialog.show();
        QCOMPARE(dialog.methodList()->currentText(), QStringLiteral("Reduce Type 4"));
        // A new profile encrypts with AES-256.
        QCOMPARE(dialog.encryptionList()->currentText(), QStringLiteral("AES-256"));
        dialog.methodList()->setCurrentIndex(8);
        dialog.passwordField()->setText(QStringLiteral("secret"));
        dialog.dateField()->setText(QStringLiteral("12/31/99"));
        click(dialog.okButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QCOMPARE(settings.zipOptions.compressionFactor, 8);
        QCOMPARE(settings.zipOptions.password, std::string("secret"));
        QCOMPARE(settings.zipOptions.afterDate, std::string("12/31/99"));
        QVERIFY(profileSection(profilePath(), QStringLiteral("Options")).isEmpty());
        QCOMPARE(restartedSettings()->zipOptions.compressionFactor, 5);

        dialog.show();
        QCOMPARE(dialog.methodList()->currentText(), QStringLiteral("Deflate"));
        dialog.recurseBox()->click();
        dialog.spanList()->setCurrentIndex(2);
        dialog.backupBox()->setChecked(true);
        dialog.tempFileField()->setText(QStringLiteral("/var/tmp"));
        dialog.encryptionList()->setCurrentIndex(0);
        click(dialog.saveButton());
        QCOMPARE(dialog.result(), DialogResult::Save);

        QStringList keys;
        for (const QString& line : profileSection(profilePath(), QStringLiteral("Options")))
            keys << line.section(QLatin1Char('='), 0, 0);
        keys.sort();
        QStringList expected{"AddFilesByDate", "AfterDate", "CompressionFactor", "EditComment",
                             "Encryption",     "IncSysHiddenFiles", "OldAsLatest", "Recurse",
                             "SpanDiskType",   "StorePath",         "TempFilePath"};
        expected.sort();
        QCOMPARE(keys, expected);
        QFile profile(profilePath());
        QVERIFY(profile.open(QIODevice::ReadOnly));
        QVERIFY(!profile.readAll().contains("secret"));

        auto restarted = restartedSettings();
        QCOMPARE(restarted->zipOptions.compressionFactor, 8);
        QCOMPARE(restarted->zipOptions.recurse, 1);
        QCOMPARE(restarted->zipOptions.storePath, 1);
        QCOMPARE(restarted->zipOptions.spanDiskType, 2);
        QCOMPARE(restarted->zipOptions.afterDate, std::string("12/31/99"));
        QCOMPARE(restarted->zipOptions.tempFilePath, std::string("/var/tmp"));
        QCOMPARE(restarted->zipOptions.encryption, ZipEncryptionChoice::Traditional);
        QVERIFY(restarted->zipOptions.password.empty());
        QCOMPARE(restarted->zipOptions.backupEntireDrive, 0);
    }

    void cancelLeavesTheSettingsAsTheyWere()
    {
        AppSettings settings;
        settings.zipOptions.compressionFactor = 12; // out of the list: shown as no selection, kept
        ZipOptionsDialog dialog(settings);
        dialog.show();
        QCOMPARE(dialog.methodList()->currentIndex(), -1);
        dialog.recurseBox()->click();
        click(dialog.cancelButton());
        QCOMPARE(dialog.result(), DialogResult::Cancel);
        QCOMPARE(settings.zipOptions.recurse, 0);
        QCOMPARE(settings.zipOptions.storePath, 0);

        dialog.show();
        QVERIFY(!dialog.recurseBox()->isChecked());
        click(dialog.okButton());
        QCOMPARE(settings.zipOptions.compressionFactor, 12);
    }

    void unzipOptionsOkIsForgottenAtRestartAndSaveIsNot()
    {
        AppSettings settings;
        UnzipOptionsDialog dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("UNZIP Options"));
        dialog.show();
        dialog.overwriteBox()->setChecked(true);
        dialog.passwordField()->setText(QStringLiteral("pw"));
        click(dialog.okButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QCOMPARE(settings.unzipOptions.overwrite, 1);
        QCOMPARE(settings.unzipOptions.password, std::string("pw"));
        QCOMPARE(restartedSettings()->unzipOptions.overwrite, 0);

        dialog.show();
        QVERIFY(dialog.overwriteBox()->isChecked());
        dialog.recreateBox()->setChecked(true);
        dialog.recurseOutBox()->setChecked(true);
        click(dialog.saveButton());
        QCOMPARE(dialog.result(), DialogResult::Save);
        QStringList lines = profileSection(profilePath(), QStringLiteral("Options"));
        lines.sort();
        QCOMPARE(lines, (QStringList{"Overwrite=1", "Recreate=1", "RecurseOut=1"}));
        QCOMPARE(restartedSettings()->unzipOptions.recreate, 1);
    }

    void untarOptionsSaveWritesItsFourFlags()
    {
        AppSettings settings;
        UntarOptionsDialog dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("UNTAR Options"));
        dialog.show();
        dialog.lineEndsBox()->setChecked(true);
        dialog.overwriteBox()->setChecked(true);
        click(dialog.okButton());
        QCOMPARE(settings.untarOptions.tarLF2CRLF, 1);
        QVERIFY(profileSection(profilePath(), QStringLiteral("Options")).isEmpty());

        dialog.show();
        click(dialog.saveButton());
        QStringList lines = profileSection(profilePath(), QStringLiteral("Options"));
        lines.sort();
        QCOMPARE(lines, (QStringList{"TarLF2CRLF=1", "TarOverwrite=1", "TarRecreate=0", "TarRecurseOut=0"}));
        QCOMPARE(restartedSettings()->untarOptions.tarOverwrite, 1);
    }

    void fontSaveClosesLikeOkAndMarksTheDialogSaved()
    {
        FontSaveDialog dialog(QFont(QStringLiteral("Sans Serif"), 9));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Font"));
        QVERIFY(dialog.saveButton());
        QCOMPARE(dialog.saveButton()->text(), QStringLiteral("&Save"));

        bool savedWhenFinished = false;
        connect(&dialog, &QDialog::finished, this, [&] { savedWhenFinished = dialog.saved(); });
        dialog.show();
        click(dialog.saveButton());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.saved());
        QVERIFY(savedWhenFinished);

        dialog.show();
        QVERIFY(!dialog.saved()); // every opening starts unsaved
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        click(buttons->button(QDialogButtonBox::Ok));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.saved());
    }

    void escapeCancelsAndEveryOpeningIsCentredOnTheParent()
    {
        AppSettings settings;
        QWidget parent;
        parent.setGeometry(50, 60, 500, 400);
        parent.show();
        UnzipOptionsDialog dialog(settings, &parent);
        dialog.show();
        QCOMPARE(dialog.frameGeometry().center(), parent.frameGeometry().center());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), DialogResult::Cancel);
        QVERIFY(!dialog.isVisible());

        parent.move(200, 150);
        dialog.show();
        QCOMPARE(dialog.frameGeometry().center(), parent.frameGeometry().center());
        dialog.reject();
    }
};

QTEST_MAIN(OptionsDialogsTest)
#include "OptionsDialogsTest.moc"
