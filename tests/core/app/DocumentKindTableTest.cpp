#include "core/app/DocumentKindTable.h"
#include "core/app/MailAttachments.h"
#include "core/app/WindowTitle.h"
#include "core/framework/DocumentManager.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

TEST(DocumentKindTable, ListsTheKindsInRegistrationOrderWithTheirDocumentStrings)
{
    std::vector<std::string> extensions;
    for (const DocumentKindInfo& info : documentKindTable())
        extensions.emplace_back(info.extension);
    EXPECT_EQ(extensions,
              (std::vector<std::string>{".zip", ".tar", ".tgz", ".taz", ".gz", ".z", ".cfu", ".cfz"}));

    EXPECT_EQ(documentString(*findDocumentKindInfo(DocumentKindId::Zip)),
              "\n\nZIP Files\nZIP Files (*.zip)\n.zip\nQuarvoFileType\nQuarvo ZIP File");
    EXPECT_EQ(documentString(*findDocumentKindInfo(DocumentKindId::Tgz)),
              "\n\nQuarvo Tgz Files\nQuarvo TGZ File[*.tgz]\n.tgz\nQuarvoTGZFile\nQuarvo TGZ File");
    EXPECT_EQ(documentString(*findDocumentKindInfo(DocumentKindId::ZipJob)),
              "\n\nQuarvo Zip Config Files\nQuarvo Zip Config File(*.cfz)\n.cfz\nQuarvoZIPConfigFile\n"
              "Quarvo Zip Config File");
    EXPECT_EQ(findDocumentKindInfo(DocumentKindId::Main), nullptr);
}

class PathDocument : public Document {
  public:
    bool onOpenDocument(const std::string& path) override { return !path.empty(); }
};

TEST(DocumentKindTable, RegisteredKindsOpenUnclaimedExtensionsAsZip)
{
    DocumentManager manager;
    for (const DocumentKindInfo& info : documentKindTable())
        manager.registerKind(makeDocumentKind(info, [] { return std::make_unique<PathDocument>(); }));
    EXPECT_EQ(manager.kindForPath("/a/setup.exe")->resourceId, DocumentKindId::Zip);
    EXPECT_EQ(manager.kindForPath("/a/B.TGZ")->resourceId, DocumentKindId::Tgz);
    EXPECT_EQ(manager.kindForPath("/a/job.cfu")->filterName, "Quarvo Unzip Config File(*.cfu)");
}

TEST(MailAttachments, SendsZipThenPlainTarArchivesWithAPath)
{
    DocumentManager manager;
    for (const DocumentKindInfo& info : documentKindTable())
        manager.registerKind(makeDocumentKind(info, [] { return std::make_unique<PathDocument>(); }));
    for (const char* path : {"/b.tar", "/c.tgz", "/a.zip", "/d.cfz", "/e.zip", "/f.gz"})
        ASSERT_TRUE(manager.openDocument(path));
    EXPECT_EQ(mailAttachmentPaths(manager.documents()),
              (std::vector<std::string>{"/a.zip", "/e.zip", "/b.tar"}));
    EXPECT_TRUE(mailAttachmentPaths({}).empty());
}

TEST(WindowTitle, MarksNestedArchivesAndShowsTheFilter)
{
    EXPECT_EQ(archiveWindowTitle("NAME.ZIP", true, "*.DOC"), "*NAME.ZIP(*.DOC)");
    EXPECT_EQ(archiveWindowTitle("*NAME.ZIP", true, "*.DOC"), "*NAME.ZIP(*.DOC)");
    EXPECT_EQ(archiveWindowTitle("a.zip", false, "*.*"), "a.zip(*.*)");
    EXPECT_EQ(archiveWindowTitle("a.zip", false, ""), "a.zip()");
}

} // namespace
