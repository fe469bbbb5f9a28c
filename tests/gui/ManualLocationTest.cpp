#include "gui/app/ManualLocation.h"

#include "core/layout/InstallLayout.h"

#include "support/TemporaryDirectory.h"

#include <QFileInfo>
#include <QTest>

#include <filesystem>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

// Help opens the manual that came with the program: an installation's own copy, found from the
// program's directory, and in a build tree the one in the source tree it was built from.
class ManualLocationTest : public QObject {
    Q_OBJECT

private slots:
    void anInstallationOpensItsOwnCopy()
    {
        TemporaryDirectory prefix;
        std::string bin = prefix.file("usr/bin");
        std::filesystem::create_directories(bin);
        std::string installed = installedPath(installedPath(bin, InstallLayout::documentationDirectory()), "MANUAL.md");
        writeFile(installed, "# Quarvo manual\n");
        QCOMPARE(manualPath(QString::fromStdString(bin)), QFileInfo(QString::fromStdString(installed)).canonicalFilePath());
    }

    void aBuildTreeOpensTheSourceCopy()
    {
        TemporaryDirectory build;
        QCOMPARE(manualPath(QString::fromStdString(build.path().string())),
                 QFileInfo(QStringLiteral(QUARVO_SOURCE_DIR "/docs/MANUAL.md")).canonicalFilePath());
    }
};

QTEST_MAIN(ManualLocationTest)
#include "ManualLocationTest.moc"
