#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

// A document whose answers to the close question come from a shared script, and which records
// every question and every close in a shared journal.
struct Journal {
    std::vector<std::string> events;
    std::vector<int> answers;
};

class FakeDocument : public Document {
public:
    FakeDocument(Journal& journal, bool archive) : m_journal(journal), m_archive(archive) {}
    bool onOpenDocument(const std::string& path) override
    {
        if (path.find("broken") != std::string::npos)
            return false;
        setPath(path);
        return true;
    }
    void onCloseDocument() override { m_journal.events.push_back("closed " + title()); }
    int confirmClose(bool closeAllMode) override
    {
        EXPECT_TRUE(closeAllMode);
        m_journal.events.push_back("asked " + title());
        int answer = m_journal.answers.front();
        m_journal.answers.erase(m_journal.answers.begin());
        return answer;
    }
    bool isArchive() const override { return m_archive; }
    bool isNested() const override { return title().starts_with("nested"); }

private:
    Journal& m_journal;
    bool m_archive;
};

class DocumentManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* extension : {".zip", ".tar", ".cfz"}) {
            bool archive = std::string(extension) != ".cfz";
            manager.registerKind({0, extension, "", "", "", [this, archive] {
                                      return std::make_unique<FakeDocument>(journal, archive);
                                  }});
        }
    }
    std::vector<std::string> titles()
    {
        std::vector<std::string> result;
        for (Document* document : manager.documents())
            result.push_back(document->title());
        return result;
    }

    Journal journal;
    DocumentManager manager;
};

} // namespace

TEST_F(DocumentManagerTest, ChoosesTheKindByExtensionIgnoringCaseAndFallsBackToTheFirstKind)
{
    EXPECT_EQ(manager.kindForPath("/a/B.TAR")->extension, ".tar");
    EXPECT_EQ(manager.kindForPath("/a/setup.exe")->extension, ".zip");
    // A dot in a directory name is no extension.
    EXPECT_EQ(manager.kindForPath("/a.tar/readme")->extension, ".zip");
    EXPECT_EQ(DocumentManager().kindForPath("/a.zip"), nullptr);
}

TEST_F(DocumentManagerTest, ListsDocumentsByKindThenOpeningOrderAndReusesAnOpenPath)
{
    Document* first = manager.openDocument("/x/one.cfz");
    manager.openDocument("/x/two.zip");
    manager.openDocument("/x/three.tar");
    manager.openDocument("/x/four.zip");
    EXPECT_EQ(manager.openDocument("/x/one.cfz"), first);
    EXPECT_EQ(titles(), (std::vector<std::string>{"two.zip", "four.zip", "three.tar", "one.cfz"}));
}

TEST_F(DocumentManagerTest, KeepsNoDocumentThatFailedToOpen)
{
    EXPECT_EQ(manager.openDocument("/x/broken.zip"), nullptr);
    EXPECT_TRUE(manager.documents().empty());
}

TEST_F(DocumentManagerTest, CloseAllSkipsNestedArchivesAndStopsAtCancel)
{
    manager.openDocument("/x/a.zip");
    manager.openDocument("/x/nested.zip");
    manager.openDocument("/x/b.zip");
    manager.openDocument("/x/c.zip");
    journal.answers = {DialogResult::Yes, DialogResult::Cancel};
    EXPECT_FALSE(manager.closeAllDocuments());
    EXPECT_EQ(journal.events, (std::vector<std::string>{"asked a.zip", "closed a.zip", "asked b.zip"}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"nested.zip", "b.zip", "c.zip"}));
}

TEST_F(DocumentManagerTest, CloseAllGoesOnAfterNoButReportsThatNotEverythingClosed)
{
    manager.openDocument("/x/a.zip");
    manager.openDocument("/x/b.zip");
    journal.answers = {DialogResult::No, DialogResult::Yes};
    EXPECT_FALSE(manager.closeAllDocuments());
    EXPECT_EQ(titles(), std::vector<std::string>{"a.zip"});
}

TEST_F(DocumentManagerTest, YesToAllClosesLaterArchivesWithoutAskingButStillAsksJobFiles)
{
    manager.openDocument("/x/a.zip");
    manager.openDocument("/x/b.zip");
    manager.openDocument("/x/c.tar");
    manager.openDocument("/x/job.cfz");
    journal.answers = {DialogResult::YesToAll, DialogResult::Yes};
    EXPECT_TRUE(manager.closeAllDocuments());
    EXPECT_EQ(journal.events, (std::vector<std::string>{"asked a.zip", "closed a.zip", "closed b.zip",
                                                        "closed c.tar", "asked job.cfz", "closed job.cfz"}));
    EXPECT_TRUE(manager.documents().empty());
}

namespace {
TEST_F(DocumentManagerTest, TellsTheClosingListenerBeforeTheDocumentCloses)
{
    manager.openDocument("/a.zip");
    manager.openDocument("/b.zip");
    manager.setClosingListener([this](Document& document) { journal.events.push_back("closing " + document.title()); });
    journal.answers = {DialogResult::Yes, DialogResult::No};
    EXPECT_FALSE(manager.closeAllDocuments());
    manager.closeDocument(manager.documents().front());
    EXPECT_EQ(journal.events, (std::vector<std::string>{"asked a.zip", "closing a.zip", "closed a.zip",
                                                        "asked b.zip", "closing b.zip", "closed b.zip"}));
}

struct RecordingView : View {
    std::vector<std::pair<View*, int>> updates;
    void onDocumentUpdate(View* sender, int hint) override { updates.emplace_back(sender, hint); }
};
} // namespace

TEST_F(DocumentManagerTest, UpdateAllViewsTellsEveryViewButTheSender)
{
    Document* document = manager.openDocument("/x/a.zip");
    RecordingView sender, other;
    document->attachView(&sender);
    document->attachView(&other);
    document->attachView(&other);
    document->updateAllViews(&sender, UpdateHint::SelectionChanged);
    EXPECT_TRUE(sender.updates.empty());
    ASSERT_EQ(other.updates.size(), 1u);
    EXPECT_EQ(other.updates[0], std::make_pair(static_cast<View*>(&sender), UpdateHint::SelectionChanged));
    document->detachView(&other);
    document->updateAllViews(nullptr, UpdateHint::ContentsRebuilt);
    EXPECT_EQ(other.updates.size(), 1u);
    EXPECT_EQ(sender.updates.size(), 1u);
}

TEST_F(DocumentManagerTest, ANewDocumentWithoutAPathIsCalledUntitled)
{
    Document* job = manager.newDocument(*manager.kindForExtension(".cfz"));
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->title(), "Untitled");
    EXPECT_EQ(job->path(), "");
}
