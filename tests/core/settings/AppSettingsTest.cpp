#include "core/settings/AppSettings.h"
#include "core/settings/ProfileFile.h"

#include "FailingWrites.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {
namespace {

using testing::readFile;
using testing::ScopedEnvironment;
using testing::TemporaryDirectory;
using testing::writeFile;

// Settings over a profile in a fresh configuration directory, as a new run of the program sees it.
class AppSettingsTest : public ::testing::Test {
  protected:
    AppSettings newRun()
    {
        AppSettings settings;
        settings.load();
        return settings;
    }
    std::string profileText() const { return readFile(profilePath()); }
    std::string profilePath() const { return m_config.file("quarvo.ini"); }
    ProfileFile profile() const { return ProfileFile::load(profilePath()); }

    TemporaryDirectory m_config;
    ScopedEnvironment m_configHome{"XDG_CONFIG_HOME", m_config.path().string()};
};

TEST(AppSettingsLocation, ProfileLivesInTheXdgConfigDirectoryOrUnderHome)
{
    {
        ScopedEnvironment configHome("XDG_CONFIG_HOME", "/cfg/");
        EXPECT_EQ(AppSettings::defaultProfilePath(), "/cfg/quarvo.ini");
    }
    ScopedEnvironment home("HOME", "/home/someone");
    for (const char* ignored : {"", "relative/dir"}) {
        ScopedEnvironment configHome("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(AppSettings::defaultProfilePath(), "/home/someone/.config/quarvo.ini") << ignored;
    }
}

TEST(AppSettingsLocation, ProgramDirectoryHoldsTheRunningExecutable)
{
    AppSettings settings;
    ASSERT_FALSE(settings.programDirectory().empty());
    EXPECT_EQ(settings.programDirectory().front(), '/');
    EXPECT_NE(settings.programDirectory().back(), '/');
    EXPECT_TRUE(std::filesystem::exists(settings.programDirectory() + "/test_core_settings"));
    EXPECT_EQ(settings.dosStubPath(), settings.programDirectory() + "/NEW.EXE");
    EXPECT_EQ(AppSettings("p.ini", "/").dosStubPath(), "/NEW.EXE");
}

TEST_F(AppSettingsTest, WithoutAProfileEveryValueIsItsDefaultAndExitCreatesTheFile)
{
    AppSettings settings = newRun();
    EXPECT_EQ(settings.profilePath(), profilePath());
    EXPECT_EQ(settings.zipOptions.compressionFactor, 5);
    EXPECT_EQ(settings.zipOptions.recurse, 0);
    EXPECT_EQ(settings.unzipOptions.overwrite, 0);
    EXPECT_EQ(settings.untarOptions.tarLF2CRLF, 0);
    EXPECT_EQ(settings.viewerName, "VIEWER.EXE");
    EXPECT_EQ(formatFontDescription(settings.font), "-11,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif");
    EXPECT_TRUE(settings.recentFiles.empty());
    EXPECT_EQ(settings.previewPages, 0);
    EXPECT_EQ(settings.loadAlwaysOnTop(), 0);
    EXPECT_EQ(settings.loadLogFile(), 0);
    EXPECT_EQ(settings.loadCurrentDir("/start"), "/start");
    WindowRect current{10, 20, 300, 400};
    EXPECT_EQ(settings.loadWindowRect(current), current);

    settings.saveOnExit("/work/dir");
    ProfileFile saved = profile();
    EXPECT_EQ(saved.readString("General", "CurrentDir", ""), "/work/dir");
    EXPECT_EQ(saved.value("General", "AlwaysOnTop"), "0");
    EXPECT_FALSE(saved.value("Settings", "PreviewPages")) << "PreviewPages 0 is not written";
    EXPECT_FALSE(saved.hasSection("Recent File List"));
    EXPECT_FALSE(saved.hasSection("Directories"));
}

// AES-256 is the choice of new profiles; a profile from before the choice existed has no key and
// keeps the traditional cipher its user had. The exit records the choice the run started with, so a
// new profile stays new even when another group's save created the file first.
TEST_F(AppSettingsTest, NewProfilesEncryptWithAesAndOldOnesKeepTheTraditionalCipher)
{
    struct Case {
        const char* rule;
        std::optional<std::string> profileBefore;
        int expected;
    };
    const Case cases[] = {
        {"no profile yet", std::nullopt, ZipEncryptionChoice::Aes256},
        {"a profile without the key", "[General]\nAlwaysOnTop=0\n", ZipEncryptionChoice::Traditional},
        {"the key says traditional", "[Options]\nEncryption=0\n", ZipEncryptionChoice::Traditional},
        {"the key says AES-256", "[Options]\nEncryption=1\n", ZipEncryptionChoice::Aes256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        std::filesystem::remove(profilePath());
        if (c.profileBefore)
            writeFile(profilePath(), *c.profileBefore);
        AppSettings settings = newRun();
        EXPECT_EQ(settings.zipOptions.encryption, c.expected);
        settings.saveUnzipOptions();
        settings.saveOnExit("/w");
        EXPECT_EQ(newRun().zipOptions.encryption, c.expected);
    }
}

TEST_F(AppSettingsTest, ExitCreatesAMissingConfigurationDirectory)
{
    ScopedEnvironment configHome("XDG_CONFIG_HOME", m_config.file("not/yet"));
    AppSettings settings = newRun();
    settings.saveOnExit("/w");
    EXPECT_EQ(ProfileFile::load(m_config.file("not/yet/quarvo.ini")).readString("General", "CurrentDir", ""),
              "/w");
}

TEST_F(AppSettingsTest, OptionGroupsRoundTripThroughTheProfileWithoutPasswords)
{
    AppSettings settings = newRun();
    settings.zipOptions = {1, 8, 1, 1, 1, "01/02/99", 1, 1, 3, "/tmp/zip", "zip secret", 1};
    settings.unzipOptions = {1, 1, 1, "unzip secret"};
    settings.untarOptions = {1, 1, 1, 1};
    settings.viewerName = "/usr/bin/less";
    settings.logFile = 1;
    settings.saveZipOptions();
    settings.saveUnzipOptions();
    settings.saveUntarOptions();
    settings.saveGeneral();

    EXPECT_EQ(profileText().find("secret"), std::string::npos);
    EXPECT_EQ(profile().readString("PROGRAMS", "ViewerName", ""), "/usr/bin/less");

    AppSettings next = newRun();
    ZipOptions expectedZip = settings.zipOptions;
    expectedZip.password.clear();
    expectedZip.backupEntireDrive = 0;
    EXPECT_EQ(next.zipOptions.afterDate, expectedZip.afterDate);
    EXPECT_EQ(next.zipOptions.tempFilePath, expectedZip.tempFilePath);
    EXPECT_EQ(next.zipOptions.compressionFactor, 8);
    EXPECT_EQ(next.zipOptions.spanDiskType, 3);
    for (int ZipOptions::*flag :
         {&ZipOptions::recurse, &ZipOptions::storePath, &ZipOptions::editComment, &ZipOptions::addFilesByDate,
          &ZipOptions::incSysHiddenFiles, &ZipOptions::oldAsLatest})
        EXPECT_EQ(next.zipOptions.*flag, 1);
    EXPECT_EQ(next.zipOptions.password, "");
    EXPECT_EQ(next.zipOptions.backupEntireDrive, 0);
    EXPECT_EQ(next.unzipOptions.overwrite + next.unzipOptions.recreate + next.unzipOptions.recurseOut, 3);
    EXPECT_EQ(next.unzipOptions.password, "");
    EXPECT_EQ(next.untarOptions.tarOverwrite + next.untarOptions.tarRecreate +
                  next.untarOptions.tarRecurseOut + next.untarOptions.tarLF2CRLF,
              4);
    EXPECT_EQ(next.viewerName, "/usr/bin/less");
    EXPECT_EQ(next.loadLogFile(), 1);
}

TEST_F(AppSettingsTest, EachSaveWritesOnlyItsOwnGroup)
{
    AppSettings settings = newRun();
    settings.unzipOptions.overwrite = 1;
    settings.zipOptions.recurse = 1;
    settings.saveUnzipOptions();
    ProfileFile saved = profile();
    EXPECT_EQ(saved.value("Options", "Overwrite"), "1");
    EXPECT_FALSE(saved.value("Options", "Recurse"));
    EXPECT_FALSE(saved.value("Options", "TarOverwrite"));
    EXPECT_FALSE(saved.hasSection("PROGRAMS"));
}

TEST_F(AppSettingsTest, NumbersOutsideTheirListsAreKeptUnchanged)
{
    writeFile(profilePath(), "[Options]\nCompressionFactor=12\nSpanDiskType=-3\nRecurse=2\n");
    AppSettings settings = newRun();
    EXPECT_EQ(settings.zipOptions.compressionFactor, 12);
    EXPECT_EQ(settings.zipOptions.spanDiskType, -3);
    EXPECT_EQ(settings.zipOptions.recurse, 2);
    settings.saveZipOptions();
    EXPECT_EQ(profile().readInt("Options", "CompressionFactor", 0), 12);
}

TEST_F(AppSettingsTest, MaximisedCloseWritesTheStateAndKeepsTheLastNormalPosition)
{
    AppSettings settings = newRun();
    settings.saveWindowPlacement({WindowShowState::Normal, {5, 6, 705, 506}});
    EXPECT_EQ(profile().readInt("General", "WindowState", 0), 1);

    settings.saveWindowPlacement({WindowShowState::Maximised, {0, 0, 1920, 1080}});
    ProfileFile saved = profile();
    EXPECT_EQ(saved.readInt("General", "WindowState", 0), 3);
    EXPECT_EQ(saved.readInt("General", "WindowPosLeft", 0), 5);
    EXPECT_EQ(saved.readInt("General", "WindowPosTop", 0), 6);
    EXPECT_EQ(saved.readInt("General", "WindowPosRight", 0), 705);
    EXPECT_EQ(saved.readInt("General", "WindowPosBottom", 0), 506);

    settings.saveWindowPlacement({WindowShowState::Minimised, {-32000, -32000, -31840, -31970}});
    EXPECT_EQ(profile().readInt("General", "WindowState", 0), 2);
    EXPECT_EQ((newRun().loadWindowRect({1, 2, 3, 4})), (WindowRect{5, 6, 705, 506}));
}

TEST_F(AppSettingsTest, StoredPositionKeysReplaceOnlyTheEdgesTheyHold)
{
    writeFile(profilePath(), "[General]\nWindowPosLeft=50\nWindowPosBottom=-7\n");
    EXPECT_EQ((newRun().loadWindowRect({1, 2, 3, 4})), (WindowRect{50, 2, 3, -7}));
}

TEST_F(AppSettingsTest, HistoryIsWrittenUpToItsFirstGapAndLaterStoredEntriesSurvive)
{
    writeFile(profilePath(), "[Directories]\nEXTRACT1=/old/one\nEXTRACT2=\nEXTRACT3=/old/three\n"
                             "COMPRESS1=/c/one\nCOMPRESS2=/c/two\n");
    AppSettings settings = newRun();
    EXPECT_EQ(settings.extractHistory[0], "/old/one");
    EXPECT_EQ(settings.extractHistory[1], "");
    EXPECT_EQ(settings.extractHistory[2], "/old/three");

    settings.extractHistory[0] = "/new/one";
    settings.extractHistory[2] = "/new/three"; // behind the gap: never written
    settings.compressHistory = {"/c/new", "", "", "", "/c/five"};
    settings.saveOnExit("/w");

    AppSettings next = newRun();
    EXPECT_EQ(next.extractHistory[0], "/new/one");
    EXPECT_EQ(next.extractHistory[1], "");
    EXPECT_EQ(next.extractHistory[2], "/old/three");
    EXPECT_EQ(next.compressHistory[0], "/c/new");
    EXPECT_EQ(next.compressHistory[1], "/c/two");
    EXPECT_EQ(next.compressHistory[4], "");
}

TEST_F(AppSettingsTest, RecentFilesKeepFourMostRecentFirstComparedExactly)
{
    AppSettings settings = newRun();
    for (const char* path : {"/a.zip", "/b.zip", "/c.zip", "/d.zip", "/b.zip", "/A.zip", ""})
        settings.addRecentFile(path);
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"/A.zip", "/b.zip", "/d.zip", "/c.zip"}));
    settings.addRecentFile("/e.zip");
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"/e.zip", "/A.zip", "/b.zip", "/d.zip"}));

    settings.saveOnExit("/w");
    EXPECT_EQ(newRun().recentFiles, settings.recentFiles);
}

TEST_F(AppSettingsTest, ExitDropsStoredRecentFilesBeyondTheList)
{
    writeFile(profilePath(), "[Recent File List]\nFile1=/a\nFile2=/b\nFile3=/c\nFile4=/d\n");
    AppSettings settings = newRun();
    settings.recentFiles = {"/x"};
    settings.saveOnExit("/w");
    ProfileFile saved = profile();
    EXPECT_EQ(saved.readString("Recent File List", "File1", ""), "/x");
    EXPECT_FALSE(saved.value("Recent File List", "File2"));
    EXPECT_FALSE(saved.value("Recent File List", "File4"));
}

TEST_F(AppSettingsTest, PreviewPagesIsWrittenOnlyWhenNotZero)
{
    writeFile(profilePath(), "[Settings]\nPreviewPages=2\n");
    AppSettings settings = newRun();
    EXPECT_EQ(settings.previewPages, 2);
    settings.previewPages = 0;
    settings.saveOnExit("/w");
    EXPECT_EQ(profile().readInt("Settings", "PreviewPages", 0), 2);
    settings.previewPages = 1;
    settings.saveOnExit("/w");
    EXPECT_EQ(profile().readInt("Settings", "PreviewPages", 0), 1);
}

TEST_F(AppSettingsTest, StoredFontIsReadOverTheScreenDefault)
{
    struct Case {
        const char* stored;
        int dpi;
        const char* expected;
    } cases[] = {
        {"-13,0,0,0,700", 96, "-13,0,0,0,700,0,0,0,0,1,2,1,26,MS Sans Serif"},
        {",,,,700", 96, "700,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif"},
        {"", 120, "-13,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif"},
        {nullptr, 144, "-16,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif"},
    };
    for (const Case& c : cases) {
        writeFile(profilePath(), c.stored ? std::string("[General]\nFont=") + c.stored + "\n" : "");
        AppSettings settings;
        settings.load(c.dpi);
        EXPECT_EQ(formatFontDescription(settings.font), c.expected) << (c.stored ? c.stored : "(absent)");
    }
}

TEST_F(AppSettingsTest, SavedFontIsWhatTheNextRunReads)
{
    AppSettings settings = newRun();
    FontDescription font = settings.font;
    font.height = -14;
    font.faceName = "Family, Bold";
    settings.saveFont(font);
    EXPECT_EQ(settings.font.faceName, "Family");
    EXPECT_EQ(profile().readString("General", "Font", ""), "-14,0,0,0,400,0,0,0,0,1,2,1,26,Family");
    EXPECT_EQ(newRun().font, settings.font);
}

TEST_F(AppSettingsTest, WritesKeepForeignSectionsKeysAndTheirOrder)
{
    const std::string original = "[Options]\nZ=last\nCompressionFactor=5\nA=first\n\n[Plugins]\nthing=1\n";
    writeFile(profilePath(), original);
    AppSettings settings = newRun();
    settings.zipOptions.compressionFactor = 8;
    settings.saveZipOptions();
    std::string text = profileText();
    EXPECT_EQ(text.rfind("[Options]\nZ=last\nCompressionFactor=8\nA=first\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n[Plugins]\nthing=1\n"), std::string::npos) << text;
}

TEST_F(AppSettingsTest, FailedWriteLeavesTheOldFileAndTheValueInMemory)
{
    const std::string original = "[Options]\r\nCompressionFactor=5\r\n";
    writeFile(profilePath(), original);
    AppSettings settings = newRun();
    settings.zipOptions.compressionFactor = 8;
    {
        testing::ScopedFileSizeLimit noFileGrowth;
        settings.saveZipOptions();
        settings.saveOnExit("/w");
    }
    EXPECT_EQ(profileText(), original);
    EXPECT_EQ(settings.zipOptions.compressionFactor, 8);
    EXPECT_EQ(settings.currentDir, "/w");

    // A profile whose directory cannot exist: every save fails quietly.
    writeFile(m_config.file("blocker"), "x");
    AppSettings blocked(m_config.file("blocker/quarvo.ini"), "/");
    blocked.load();
    blocked.alwaysOnTop = 1;
    blocked.saveOnExit("/w");
    EXPECT_EQ(blocked.alwaysOnTop, 1);
    EXPECT_EQ(readFile(m_config.file("blocker")), "x");
}

TEST_F(AppSettingsTest, ProfileThatCannotBeReadIsNeitherWaitedForNorReplaced)
{
    ASSERT_EQ(mkfifo(profilePath().c_str(), 0600), 0);
    AppSettings settings = newRun(); // would block on opening a pipe without a writer
    EXPECT_EQ(settings.zipOptions.compressionFactor, 5);
    settings.saveOnExit("/w");
    EXPECT_TRUE(std::filesystem::is_fifo(profilePath()));
    std::filesystem::remove(profilePath());

    // Root reads a file without read permission anyway; for anyone else it is unreadable.
    if (geteuid() != 0) {
        writeFile(profilePath(), "[Options]\nCompressionFactor=1\n");
        ASSERT_EQ(chmod(profilePath().c_str(), 0200), 0);
        AppSettings locked = newRun();
        EXPECT_EQ(locked.zipOptions.compressionFactor, 5);
        locked.saveZipOptions();
        ASSERT_EQ(chmod(profilePath().c_str(), 0600), 0);
        EXPECT_EQ(profileText(), "[Options]\nCompressionFactor=1\n");
    }
}

TEST_F(AppSettingsTest, HostileProfileLoadsWithDefaultsWhereUnreadable)
{
    std::string garbage;
    for (int i = 0; i < 8192; ++i)
        garbage += static_cast<char>((i * 97 + 13) & 0xFF);
    writeFile(profilePath(),
              garbage + "\n[Options\nCompressionFactor=1\n" + std::string(1 << 20, 'Q') +
                  "\n[PROGRAMS]\nViewerName=first\nViewerName=second\n[programs]\nViewerName=third\n");
    AppSettings settings = newRun();
    EXPECT_EQ(settings.zipOptions.compressionFactor, 5);
    EXPECT_EQ(settings.viewerName, "first");
    EXPECT_EQ(formatFontDescription(settings.font), "-11,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif");
}

} // namespace
} // namespace quarvo
