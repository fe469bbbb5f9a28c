#include "gui/launch/HandOffWatch.h"

#include "support/TemporaryDirectory.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace quarvo::gui;
using namespace quarvo::testing;

Q_DECLARE_METATYPE(std::optional<FileStamp>)

namespace {

constexpr int GenerousTimeoutMilliseconds = 10000;

QString qPath(const TemporaryDirectory& directory, const std::string& name)
{
    return QString::fromStdString(directory.file(name));
}

// Saves as many editors do: a new file beside the old one, renamed over it.
void replaceByRename(const TemporaryDirectory& directory, const std::string& name, const std::string& text)
{
    writeFile(directory.path() / (name + ".new"), text);
    std::filesystem::rename(directory.path() / (name + ".new"), directory.path() / name);
}

} // namespace

class HandOffWatchTest : public QObject {
    Q_OBJECT

  private slots:
    void comparesStamps_data()
    {
        const FileStamp before{1, 100, 42, 1700000000, 5};
        auto with = [&](auto change) {
            FileStamp stamp = before;
            change(stamp);
            return std::optional<FileStamp>(stamp);
        };
        QTest::addColumn<FileStamp>("before");
        QTest::addColumn<std::optional<FileStamp>>("now");
        QTest::addColumn<bool>("changed");
        QTest::newRow("the same") << before << std::optional<FileStamp>(before) << false;
        QTest::newRow("missing: deleted, or not yet saved") << before << std::optional<FileStamp>() << false;
        QTest::newRow("renamed over: new inode")
            << before << with([](FileStamp& s) { s.inode = 101; }) << true;
        QTest::newRow("another file system") << before << with([](FileStamp& s) { s.device = 2; }) << true;
        QTest::newRow("size") << before << with([](FileStamp& s) { s.size = 43; }) << true;
        QTest::newRow("emptied") << before << with([](FileStamp& s) { s.size = 0; }) << true;
        QTest::newRow("seconds") << before << with([](FileStamp& s) { s.modifiedSeconds += 1; }) << true;
        QTest::newRow("nanoseconds only")
            << before << with([](FileStamp& s) { s.modifiedNanoseconds = 6; }) << true;
    }
    void comparesStamps()
    {
        QFETCH(FileStamp, before);
        QFETCH(std::optional<FileStamp>, now);
        QFETCH(bool, changed);
        QCOMPARE(stampShowsChange(before, now), changed);
    }

    // The stamp is the link's own: a change behind a symbolic link is not followed.
    void stampsASymbolicLinkItself()
    {
        TemporaryDirectory directory;
        writeFile(directory.path() / "target.txt", "old");
        std::filesystem::create_symlink("target.txt", directory.path() / "link.txt");
        std::optional<FileStamp> link = stampOf(directory.file("link.txt"));
        std::optional<FileStamp> target = stampOf(directory.file("target.txt"));
        QVERIFY(link && target);
        QVERIFY(link->inode != target->inode);

        replaceByRename(directory, "target.txt", "new and longer");

        QVERIFY(stampShowsChange(*target, stampOf(directory.file("target.txt"))));
        QVERIFY(!stampShowsChange(*link, stampOf(directory.file("link.txt"))));
        QVERIFY(!stampOf(directory.file("missing.txt")));
    }

    // Saved by renaming a new file over it, rewritten in place, or deleted and written anew (which
    // ends any watch on the file itself): each is told, once.
    void reportsAChangedFileOnce_data()
    {
        QTest::addColumn<QString>("save");
        QTest::newRow("renamed over") << "rename";
        QTest::newRow("written in place") << "append";
        QTest::newRow("deleted, then written anew") << "recreate";
    }
    void reportsAChangedFileOnce()
    {
        QFETCH(QString, save);
        TemporaryDirectory directory;
        writeFile(directory.path() / "entry.txt", "old");
        HandOffWatch watch;
        QSignalSpy changed(&watch, &HandOffWatch::fileChanged);
        QString path = qPath(directory, "entry.txt");
        QVERIFY(watch.watchFile(path));

        if (save == "rename") {
            replaceByRename(directory, "entry.txt", "new");
        } else if (save == "append") {
            std::ofstream(directory.path() / "entry.txt", std::ios::app) << " and more";
        } else {
            // The deletion is seen (and the file found missing, not changed) before the new file comes.
            QFileSystemWatcher observer({qPath(directory, "")});
            QSignalSpy observed(&observer, &QFileSystemWatcher::directoryChanged);
            std::filesystem::remove(directory.path() / "entry.txt");
            QVERIFY(observed.wait(GenerousTimeoutMilliseconds));
            QCoreApplication::processEvents();
            QCOMPARE(changed.count(), 0);
            writeFile(directory.path() / "entry.txt", "new");
        }

        QVERIFY(changed.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), path);
        QVERIFY(!watch.isWatching(path));
    }

    // Files sharing a directory are told apart: a change to one reports that one only, and a file
    // no longer watched is not reported at all. Events come in order, so when the last change is
    // reported the earlier ones would have been.
    void reportsOnlyTheFilesWatched()
    {
        TemporaryDirectory directory;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            writeFile(directory.path() / name, "old");
        HandOffWatch watch;
        QSignalSpy changed(&watch, &HandOffWatch::fileChanged);
        QVERIFY(watch.watchFile(qPath(directory, "a.txt")));
        QVERIFY(watch.watchFile(qPath(directory, "b.txt")));
        QVERIFY(watch.watchFile(qPath(directory, "c.txt")));
        QVERIFY(!watch.watchFile(qPath(directory, "c.txt")));
        QVERIFY(!watch.watchFile(qPath(directory, "missing.txt")));
        watch.stop(qPath(directory, "a.txt"));

        writeFile(directory.path() / "unwatched.txt", "noise");
        replaceByRename(directory, "a.txt", "new");
        replaceByRename(directory, "c.txt", "new");

        QVERIFY(changed.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), qPath(directory, "c.txt"));
        QVERIFY(watch.isWatching(qPath(directory, "b.txt")));

        // The directory stays watched for the file still in it.
        replaceByRename(directory, "b.txt", "new");
        QVERIFY(changed.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toString(), qPath(directory, "b.txt"));
    }
};

QTEST_GUILESS_MAIN(HandOffWatchTest)
#include "HandOffWatchTest.moc"
