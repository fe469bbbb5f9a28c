#include "core/launch/ViewerCheck.h"

#include "core/settings/ProfileFile.h"
#include "core/ui/DialogResult.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quarvo {
namespace {

using testing::readFile;
using testing::ScopedEnvironment;
using testing::ScriptedUserInterface;
using testing::TemporaryDirectory;
using testing::writeFile;

// A program directory holding "progviewer", a PATH directory holding "pathviewer", and a profile
// whose ViewerName the test chooses.
class ViewerCheckTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(m_root.file("prog/progviewer"), "");
        writeFile(m_root.file("bin/pathviewer"), "");
    }

    AppSettings loadWithViewer(const std::string& viewerName)
    {
        writeFile(profilePath(), "[PROGRAMS]\nViewerName=" + viewerName + "\n[General]\nLogFile=0\n");
        AppSettings settings(profilePath(), m_root.file("prog"));
        settings.load();
        settings.loadLogFile();
        return settings;
    }
    std::string profilePath() const { return m_root.file("config/quarvo.ini"); }

    TemporaryDirectory m_root;
    ScopedEnvironment m_path{"PATH", m_root.file("nothing-here") + ":" + m_root.file("bin")};
    ScriptedUserInterface m_ui;
};

TEST_F(ViewerCheckTest, FoundOrEmptyViewerPassesSilently)
{
    writeFile(m_root.file("prog/quarvo-viewer"), "");
    std::filesystem::permissions(m_root.file("prog/quarvo-viewer"), std::filesystem::perms::owner_all);
    for (const std::string& name :
         {std::string("VIEWER.EXE"), std::string("progviewer"), std::string("pathviewer"),
          m_root.file("bin/pathviewer"), std::string()}) {
        AppSettings settings = loadWithViewer(name);
        checkViewerAtStartup(settings, m_ui);
        EXPECT_EQ(settings.viewerName, name);
    }
    EXPECT_TRUE(m_ui.messages().empty());
    EXPECT_TRUE(m_ui.generalOptionsShown().empty());
}

TEST_F(ViewerCheckTest, NotFoundMessagesNameTheViewer)
{
    const std::string program = m_root.file("prog");
    // The default name stands for Quarvo's own viewer, which the message names.
    EXPECT_EQ(viewerNotFoundMessage("VIEWER.EXE", program),
              "File not found: \n\"" + program + "/quarvo-viewer\"");
    EXPECT_EQ(viewerNotFoundMessage("VIEWER.EXE", ""), "File not found in path: \n\"VIEWER.EXE\"");
    // A colon names no drive here: the name is still a bare one.
    EXPECT_EQ(viewerNotFoundMessage("C:viewer", program), "File not found in path: \n\"C:viewer\"");
    EXPECT_EQ(viewerNotFoundMessage("/no/such/viewer", program), "File not found: \n\"/no/such/viewer\"");
    EXPECT_EQ(viewerNotFoundMessage("bin/pathviewer", program), "File not found: \n\"bin/pathviewer\"")
        << "a relative path is not searched on PATH";
    EXPECT_EQ(viewerNotFoundMessage(m_root.file("bin/pathviewer"), program), std::nullopt);
    EXPECT_EQ(viewerNotFoundMessage("", program), std::nullopt);
}

TEST_F(ViewerCheckTest, CancelledCorrectionDropsTheViewerForThisRunOnly)
{
    AppSettings settings = loadWithViewer("missingviewer");
    const std::string stored = readFile(profilePath());
    m_ui.answerMessage(DialogResult::Ok);
    m_ui.answerGeneralOptions(DialogResult::Cancel);

    checkViewerAtStartup(settings, m_ui);

    ASSERT_EQ(m_ui.messages().size(), 1u);
    EXPECT_EQ(m_ui.messages()[0].text, "File not found in path: \n\"missingviewer\"");
    EXPECT_EQ(m_ui.messages()[0].buttons, MessageButtons::Ok);
    ASSERT_EQ(m_ui.generalOptionsShown().size(), 1u);
    EXPECT_EQ(m_ui.generalOptionsShown()[0].viewerName, "missingviewer");
    EXPECT_EQ(settings.viewerName, "");
    EXPECT_EQ(readFile(profilePath()), stored);
}

TEST_F(ViewerCheckTest, SavedCorrectionIsTakenAndWritten)
{
    const std::string missing = m_root.file("gone/viewer");
    AppSettings settings = loadWithViewer(missing);
    m_ui.answerMessage(DialogResult::Ok);
    m_ui.answerGeneralOptions(DialogResult::Save, [](GeneralOptionsValues& values) {
        values.viewerName = "pathviewer";
        values.logFile = true;
    });

    checkViewerAtStartup(settings, m_ui);

    EXPECT_EQ(m_ui.messageTexts(), std::vector<std::string>{"File not found: \n\"" + missing + "\""});
    EXPECT_EQ(settings.viewerName, "pathviewer");
    EXPECT_EQ(settings.logFile, 1);
    ProfileFile saved = ProfileFile::load(profilePath());
    EXPECT_EQ(saved.readString("PROGRAMS", "ViewerName", ""), "pathviewer");
    EXPECT_EQ(saved.readInt("General", "LogFile", 0), 1);
}

TEST_F(ViewerCheckTest, AcceptedCorrectionChangesOnlyTheMemory)
{
    AppSettings settings = loadWithViewer("missingviewer");
    const std::string stored = readFile(profilePath());
    m_ui.answerMessage(DialogResult::Ok);
    m_ui.answerGeneralOptions(DialogResult::Ok, [](GeneralOptionsValues& values) { values.viewerName = ""; });

    checkViewerAtStartup(settings, m_ui);

    EXPECT_EQ(settings.viewerName, "");
    EXPECT_EQ(readFile(profilePath()), stored);
    AppSettings next(profilePath(), m_root.file("prog"));
    next.load();
    EXPECT_EQ(next.viewerName, "missingviewer");
}

TEST_F(ViewerCheckTest, CancelledOptionsKeepAViewerThatIsFound)
{
    AppSettings settings = loadWithViewer("progviewer");
    settings.logFile = 1;
    m_ui.answerGeneralOptions(DialogResult::Cancel,
                              [](GeneralOptionsValues& values) { values.viewerName = "x"; });

    EXPECT_EQ(editGeneralOptions(settings, m_ui), DialogResult::Cancel);

    ASSERT_EQ(m_ui.generalOptionsShown().size(), 1u);
    EXPECT_EQ(m_ui.generalOptionsShown()[0].viewerName, "progviewer");
    EXPECT_TRUE(m_ui.generalOptionsShown()[0].logFile);
    EXPECT_EQ(settings.viewerName, "progviewer");
    EXPECT_EQ(settings.logFile, 1);
}

} // namespace
} // namespace quarvo
