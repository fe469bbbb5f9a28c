#include "core/desktop/DesktopRegistration.h"
#include "core/desktop/RegistrationPlan.h"

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::runProcess;
using quarvo::testing::TemporaryDirectory;

namespace {

// The freedesktop tools themselves judge the files registration writes: the desktop entry must pass
// desktop-file-validate, every XML file xmllint, and update-mime-database must make the job types
// of the MIME package, with their globs.
TEST(DesktopValidation, TheDesktopsOwnToolsAcceptTheRegisteredFiles)
{
    TemporaryDirectory root;
    DesktopDirectories directories{root.path().string(), root.file("data"), root.file("config"), std::nullopt};
    RegistrationReport report = registerWithDesktop(directories, "/opt/Quarvo 1.0/bin/quarvo", runInstalledTool);
    ASSERT_TRUE(report.failures.empty()) << report.failures.front().message;

    for (const PlannedFile& file : registrationPlan(directories, "/opt/Quarvo 1.0/bin/quarvo")) {
        SCOPED_TRACE(file.path);
        if (file.part == RegisteredPart::DesktopEntry) {
            auto outcome = runProcess("desktop-file-validate", {file.path}, root.path());
            EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
            EXPECT_EQ(outcome.out.find("error"), std::string::npos) << outcome.out;
        } else {
            auto outcome = runProcess("xmllint", {"--noout", file.path}, root.path());
            EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        }
    }
    std::string globs = readFile(root.file("data/mime/globs2"));
    EXPECT_NE(globs.find("application/x-quarvo-zip-job:*.cfz"), std::string::npos) << globs;
    EXPECT_NE(globs.find("application/x-quarvo-unzip-job:*.cfu"), std::string::npos) << globs;
    EXPECT_NE(readFile(root.file("data/mime/application/x-quarvo-zip-job.xml")).find("Quarvo Zip Config File"),
              std::string::npos);
    EXPECT_NE(readFile(root.file("data/applications/mimeinfo.cache")).find("application/zip=quarvo.desktop;"),
              std::string::npos);
}

} // namespace
