#include "core/app/ExecuteCommand.h"
#include "core/app/ExecuteCommandDispatcher.h"
#include "core/framework/Document.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace quarvo;

namespace {

struct ParseCase {
    const char* text;
    bool recognised;
    ExecuteVerb verb;
    const char* path;
    const char* fileList;
};

TEST(ExecuteCommand, RecognisesTheFourFormsByPrefixAndCase)
{
    const ParseCase cases[] = {
        // "[open(" must be spelled exactly; the other three ignore letter case.
        {"[open(\"/home/ann/a.zip\")]", true, ExecuteVerb::Open, "/home/ann/a.zip", ""},
        {"[OPEN(\"/home/ann/a.zip\")]", false, {}, "", ""},
        {"[Open(\"/home/ann/a.zip\")]", false, {}, "", ""},
        {"[execute(\"/jobs/x.cfz\")]", true, ExecuteVerb::Execute, "/jobs/x.cfz", ""},
        {"[EXECUTE(\"/jobs/x.cfz\")]", true, ExecuteVerb::Execute, "/jobs/x.cfz", ""},
        {"[EXTRACT(\"/a b/c.zip\")]", true, ExecuteVerb::Extract, "/a b/c.zip", ""},
        {"[extract(\"/c.zip\")]", true, ExecuteVerb::Extract, "/c.zip", ""},
        {"[add(\"/t.zip\")]", true, ExecuteVerb::Add, "/t.zip", ")]"},
        // The prefix runs up to and including the first quote: nothing may come between.
        {"[open( \"/a.zip\")]", false, {}, "", ""},
        {"[open(/a.zip)]", false, {}, "", ""},
        {"open(\"/a.zip\")]", false, {}, "", ""},
        {"", false, {}, "", ""},
        {"[open(", false, {}, "", ""},
        // A missing closing quote is not handled.
        {"[open(\"/a.zip)]", false, {}, "", ""},
        {"[Add(\"/t.zip", false, {}, "", ""},
        // The characters after the closing quote are not examined.
        {"[open(\"/a.zip\"", true, ExecuteVerb::Open, "/a.zip", ""},
        {"[extract(\"/a.zip\"garbage", true, ExecuteVerb::Extract, "/a.zip", ""},
        // An empty path is still a path.
        {"[open(\"\")]", true, ExecuteVerb::Open, "", ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        auto command = parseExecuteCommand(c.text);
        ASSERT_EQ(command.has_value(), c.recognised);
        if (!c.recognised)
            continue;
        EXPECT_EQ(command->verb, c.verb);
        EXPECT_EQ(command->path, c.path);
        EXPECT_EQ(command->fileList, c.fileList);
    }
}

TEST(ExecuteCommand, AddKeepsEverythingAfterTheArchiveNameAsTheFileList)
{
    auto command = parseExecuteCommand("[Add(\"\") \"/x/a.txt\" \"/y/b c.txt\")]");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->path, "");
    EXPECT_EQ(command->fileList, ") \"/x/a.txt\" \"/y/b c.txt\")]");
}

TEST(ExecuteCommand, OpenAndExtractCommandsRoundTripAndRefuseAQuoteInThePath)
{
    auto text = openCommandFor("/home/ann/My Files/a.zip");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "[open(\"/home/ann/My Files/a.zip\")]");
    EXPECT_EQ(parseExecuteCommand(*text)->path, "/home/ann/My Files/a.zip");
    EXPECT_FALSE(openCommandFor("/home/ann/say \"hi\".zip"));
    auto extract = extractCommandFor("/home/ann/My Files/a.zip");
    ASSERT_TRUE(extract);
    EXPECT_EQ(*extract, "[extract(\"/home/ann/My Files/a.zip\")]");
    EXPECT_EQ(parseExecuteCommand(*extract),
              (ExecuteCommand{ExecuteVerb::Extract, "/home/ann/My Files/a.zip", ""}));
    EXPECT_FALSE(extractCommandFor("/home/ann/say \"hi\".zip"));
}

class StubDocument : public Document {
  public:
    bool onOpenDocument(const std::string&) override { return true; }
};

// Records what the dispatcher asked of the application; paths containing "missing" fail to open.
class RecordingTarget : public ExecuteCommandTarget {
  public:
    std::vector<std::string> calls;
    bool compressDialogAvailable = true;

    Document* openDocument(const std::string& path) override
    {
        calls.push_back("open " + path);
        if (path.find("missing") != std::string::npos)
            return nullptr;
        auto& document = m_documents[path];
        if (!document) {
            document = std::make_unique<StubDocument>();
            document->setPath(path);
        }
        return document.get();
    }
    bool isDocumentOpen(const std::string& path) const override { return m_documents.count(path) > 0; }
    void showMainWindowIfHidden() override { calls.push_back("show"); }
    int runJob(Document& document, JobKind kind) override
    {
        calls.push_back(std::string(kind == JobKind::ZipJob ? "zip job " : "unzip job ") + document.path());
        return 0;
    }
    void closeDocument(Document& document) override { calls.push_back("close " + document.path()); }
    bool offerFilesForCompression(const std::string& archivePath, const std::string& fileList) override
    {
        calls.push_back("compress [" + archivePath + "] [" + fileList + "]");
        return compressDialogAvailable;
    }
    void startExtract(Document& document) override { calls.push_back("extract " + document.path()); }

  private:
    std::map<std::string, std::unique_ptr<StubDocument>> m_documents;
};

struct DispatchCase {
    const char* text;
    bool handled;
    std::vector<std::string> calls;
};

TEST(ExecuteCommandDispatcher, AddIsNotHandledWhenTheCompressDialogCannotBeShown)
{
    RecordingTarget target;
    target.compressDialogAvailable = false;
    EXPECT_FALSE(dispatchExecuteCommand("[Add(\"\") \"/x.txt\")]", target));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"compress [] [) \"/x.txt\")]]"}));
}

TEST(ExecuteCommandDispatcher, ExecuteLeavesAJobOpenThatWasOpenBefore)
{
    RecordingTarget target;
    target.openDocument("/jobs/edited.cfz");
    target.calls.clear();
    EXPECT_TRUE(dispatchExecuteCommand("[execute(\"/jobs/edited.cfz\")]", target));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"open /jobs/edited.cfz", "show", "zip job /jobs/edited.cfz"}));
}

TEST(ExecuteCommandDispatcher, FollowsTheResultRulesOfEachForm)
{
    const DispatchCase cases[] = {
        {"[open(\"/a.zip\")]", true, {"open /a.zip", "show"}},
        // open answers true even when the document could not be opened.
        {"[open(\"/missing.zip\")]", true, {"open /missing.zip", "show"}},
        {"[OPEN(\"/a.zip\")]", false, {}},
        {"[open(\"/a.zip)]", false, {}},
        // execute runs a job file and closes it again.
        {"[execute(\"/jobs/backup.CFZ\")]",
         true,
         {"open /jobs/backup.CFZ", "show", "zip job /jobs/backup.CFZ", "close /jobs/backup.CFZ"}},
        {"[Execute(\"/jobs/restore.cfu\")]",
         true,
         {"open /jobs/restore.cfu", "show", "unzip job /jobs/restore.cfu", "close /jobs/restore.cfu"}},
        // An archive is opened, nothing runs, it stays open, and the request was not handled.
        {"[execute(\"/a.zip\")]", false, {"open /a.zip", "show"}},
        {"[execute(\"/missing.cfz\")]", false, {"open /missing.cfz"}},
        // An extension is looked for only after the last "/".
        {"[execute(\"/jobs.cfz/plain\")]", false, {"open /jobs.cfz/plain", "show"}},
        // Add with an empty archive name opens nothing and still shows the dialog.
        {"[Add(\"\") \"/x.txt\")]", true, {"compress [] [) \"/x.txt\")]]"}},
        {"[ADD(\"/t.zip\")\"/x.txt\"]", true, {"open /t.zip", "show", "compress [/t.zip] [)\"/x.txt\"]]"}},
        {"[Add(\"/missing.zip\")]", false, {"open /missing.zip"}},
        {"[EXTRACT(\"/a.zip\")]", true, {"open /a.zip", "show", "extract /a.zip"}},
        {"[extract(\"/missing.zip\")]", false, {"open /missing.zip"}},
        {"[print(\"/a.zip\")]", false, {}},
    };
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingTarget target;
        EXPECT_EQ(dispatchExecuteCommand(c.text, target), c.handled);
        EXPECT_EQ(target.calls, c.calls);
    }
}

} // namespace
