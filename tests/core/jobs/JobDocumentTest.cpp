// The job documents: open, the form's exchange and the modified flag, Save with the recent files,
// the close question, Execute, and what a job opened from inside an archive tells the archive.

#include "core/jobs/UnzipJobDocument.h"
#include "core/jobs/ZipJobDocument.h"

#include "core/app/DocumentKindTable.h"
#include "core/documents/OpenItemList.h"
#include "core/jobs/JobRun.h"
#include "core/engine/EngineSessionFixture.h"
#include "core/ui/DialogResult.h"

#include <sys/stat.h>

using namespace quarvo;
using quarvo::testing::EngineSessionTest;
using quarvo::testing::readFile;
using quarvo::testing::writeFile;

namespace {

// A form as far as the document sees it: on Store it hands over what the user typed.
class FakeForm : public View {
  public:
    explicit FakeForm(ZipJobDocument& document) : m_document(document) { document.attachView(this); }
    ~FakeForm() override { m_document.detachView(this); }
    void onDocumentUpdate(View*, int hint) override
    {
        if (hint == JobFormHint::Store && typed)
            m_document.adopt(*typed);
    }
    std::optional<ZipJob> typed;

  private:
    ZipJobDocument& m_document;
};

class JobDocumentTest : public EngineSessionTest {
  protected:
    JobDocumentTest() : zipKind(makeDocumentKind(*findDocumentKindInfo(DocumentKindId::ZipJob), {}))
    {
        document.setKind(&zipKind);
    }

    OpenItemList openItems;
    JobServices services{ui, settings, engine, openItems};
    DocumentKind zipKind;
    ZipJobDocument document{services};
};

TEST_F(JobDocumentTest, OpensAJobAndSavesItBackAsItWas)
{
    const std::string path = directory.file("nightly.cfz");
    const std::string text = "[Options]\nAddNewerFiles=0\nBackupEntireDrive=0\nEditZIPComment=0\nIncSysHiddenFiles=0\n"
                             "OldAsLatest=0\nRecurseSubdirs=1\nStorePath=1\nAction=1\nCompMethod=8\nSpanDisks=0\n"
                             "Date=\nPassword=\nTempFilePath=\nDirectory=/srv\nExclude=\nInclude=\n"
                             "ZIPFile=/b/n.zip\n\n[Comment]\n0=\n";
    writeFile(path, text);
    ASSERT_TRUE(document.onOpenDocument(path));
    EXPECT_EQ(document.title(), "nightly.cfz");
    EXPECT_EQ(document.job().action, 1);
    EXPECT_EQ(document.job().zipFile, "/b/n.zip");

    writeFile(path, "changed by hand");
    ASSERT_TRUE(document.save());
    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(settings.recentFiles.front(), path);
}

TEST_F(JobDocumentTest, AFileThatCannotBeUsedIsReportedAndNotOpened)
{
    const std::string path = directory.file("long.cfz");
    writeFile(path, "[Options]\nZIPFile=" + std::string(400, 'z') + "\n");
    ui.answerMessage(DialogResult::Ok);
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(document.onOpenDocument(path));
    EXPECT_FALSE(document.onOpenDocument(directory.file("missing.cfz")));
    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{"Failed to open document.\n\n\"ZIPFile\" is longer than 259 characters.",
                                        "Failed to open document.\n\n" + directory.file("missing.cfz") + " was not found."}));
}

TEST_F(JobDocumentTest, OnlyADifferentValueFromTheFormMarksTheDocumentModified)
{
    FakeForm form(document);
    form.typed = ZipJob{};
    document.takeFormValues();
    EXPECT_FALSE(document.isModified());

    ZipJob typed;
    typed.zipFile = "/b/X.zip";
    form.typed = typed;
    document.takeFormValues();
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.job(), typed);

    // Letter case counts: "x.zip" is another file than "X.zip".
    document.setModified(false);
    typed.zipFile = "/b/x.zip";
    form.typed = typed;
    document.takeFormValues();
    EXPECT_TRUE(document.isModified());
}

TEST_F(JobDocumentTest, ClosingAsksAboutWhatTheFormHoldsAndSavesOnYes)
{
    FakeForm form(document);
    ZipJob typed;
    typed.zipFile = "/b/typed.zip";
    typed.password = "pw";
    form.typed = typed;

    ui.answerMessage(DialogResult::Cancel);
    EXPECT_EQ(document.confirmClose(true), DialogResult::Cancel);
    EXPECT_EQ(ui.messageTexts().back(), "Save changes to Untitled?");

    const std::string path = directory.file("typed.cfz");
    ui.answerMessage(DialogResult::Yes);
    ui.answerSaveFile(path);
    EXPECT_EQ(document.confirmClose(false), DialogResult::Yes);
    EXPECT_EQ(ui.fileDialogs().back().filters.front().description, "Quarvo Zip Config File(*.cfz)");
    EXPECT_EQ(ui.fileDialogs().back().filters.front().patterns, std::vector<std::string>{"*.cfz"});
    EXPECT_EQ(document.path(), path);
    EXPECT_FALSE(document.isModified());
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_NE(readFile(path).find("ZIPFile=/b/typed.zip\n"), std::string::npos);

    // Nothing changed since: no question.
    EXPECT_EQ(document.confirmClose(true), DialogResult::Yes);
}

TEST_F(JobDocumentTest, ExecuteRunsWhatTheFormHoldsWithoutSavingIt)
{
    FakeForm form(document);
    ZipJob typed;
    typed.zipFile = "/b/run.zip";
    typed.directory = "/srv";
    form.typed = typed;
    EXPECT_EQ(document.execute(), EngineResult::Ok);
    ASSERT_EQ(engine.zipCalls().size(), 1u);
    EXPECT_EQ(engine.zipCalls()[0].archivePath, "/b/run.zip");
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.job().directory, "/srv");
}

TEST_F(JobDocumentTest, AJobOpenedFromAnArchiveHandsItsItemBackWhenItCloses)
{
    const std::string path = directory.file("item/inner.cfu");
    writeFile(path, "[Options]\nAction=0\n");
    UnzipJobDocument job(services);
    ASSERT_TRUE(job.onOpenDocument(path));

    ZipJobDocument owner(services);
    OpenItem& item = openItems.add(owner, nullptr);
    item.tempDirectory = directory.file("item");
    item.name = "inner.cfu";
    item.kind = OpenItemKind::JobFile;
    std::vector<int> advancedKinds;
    openItems.setAdvanceHandler([&](OpenItem& advanced) { advancedKinds.push_back(advanced.kind); });

    job.onCloseDocument();
    EXPECT_EQ(advancedKinds, std::vector<int>{OpenItemKind::ZipInZipClosing});

    // Closed by the open-item list itself: nothing more is said.
    job.setUpdateParentOnClose(false);
    job.onCloseDocument();
    EXPECT_EQ(advancedKinds.size(), 1u);
}

} // namespace
