// What a job asks of the engines: the plans of both kinds, and the command blocks they fill, checked
// against a fake engine.

#include "core/jobs/JobRun.h"
#include "core/jobs/UnzipJobRun.h"
#include "core/jobs/ZipJobRun.h"

#include "core/engine/EngineSessionFixture.h"
#include "core/ui/DialogResult.h"

using namespace quarvo;
using quarvo::testing::EngineSessionTest;

namespace {

ZipJob zipJob(int action, std::string directory)
{
    ZipJob job;
    job.action = action;
    job.directory = std::move(directory);
    job.zipFile = "/backup/data.zip";
    return job;
}

TEST(ZipJobPlan, TheActionChoosesTheCommandAndTheDirectoryTheSpecification)
{
    struct Case {
        int action;
        std::string directory;
        int commandId;
        std::string specification;
    };
    const Case cases[] = {
        {0, "/srv/data", 2150, "/srv/data/*.*"}, {1, "/srv/data/", 2250, "/srv/data/*.*"},
        {2, "rel", 2300, "rel/*.*"},             {3, "/srv/data", 2400, "/srv/data/*.*"},
        {4, "/", 2450, "/*.*"},                  {5, "", 2500, "*.*"},
    };
    for (const Case& test : cases) {
        const ZipJob job = zipJob(test.action, test.directory);
        Result<ZipJobPlan> plan = planZipJob(job);
        ASSERT_TRUE(plan.ok()) << test.action;
        EXPECT_EQ(*plan, (ZipJobPlan{"/backup/data.zip", test.specification, test.commandId, false}));
        EXPECT_EQ(job.directory, test.directory);
    }
}

TEST(ZipJobPlan, AWholeDriveBackupTakesTheRootWhateverTheDirectory)
{
    ZipJob job = zipJob(0, "/home/ann/work");
    job.backupEntireDrive = 1;
    EXPECT_EQ(planZipJob(job)->itemSpecification, "/home/ann/work/*.*");
    job.spanDisks = 1;
    EXPECT_EQ(*planZipJob(job), (ZipJobPlan{"/backup/data.zip", "/*.*", 2150, true}));
}

TEST(ZipJobPlan, RefusesAJobThatCouldOnlyRunAsAnotherCommand)
{
    for (int action : {-1, 6, 2147483647}) {
        Result<ZipJobPlan> plan = planZipJob(zipJob(action, "/srv"));
        ASSERT_FALSE(plan.ok());
        EXPECT_EQ(plan.error().message, "The job's command (Action=" + std::to_string(action) +
                                            ") is none of the commands a ZIP job can run.");
    }
    Result<ZipJobPlan> noArchive = planZipJob(ZipJob{});
    ASSERT_FALSE(noArchive.ok());
    EXPECT_EQ(noArchive.error().message, "The job names no ZIP file.");
}

TEST(UnzipJobPlan, TheActionChoosesTheCommandAndTestIsNeverAnExtract)
{
    struct Case {
        int action;
        int commandId;
    };
    for (const Case& test : {Case{0, 3050}, Case{1, 32782}, Case{2, 3150}, Case{3, 3500}}) {
        UnzipJob job;
        job.action = test.action;
        job.zipFile = "a.zip";
        job.directory = "/out";
        job.include = "*.txt";
        EXPECT_EQ(*planUnzipJob(job), (UnzipJobPlan{"a.zip", "/out/", "*.txt", test.commandId}));
        EXPECT_EQ(job.directory, "/out");
    }
    UnzipJob noDirectory;
    noDirectory.zipFile = "a.zip";
    EXPECT_EQ(planUnzipJob(noDirectory)->destination, "./");
    for (int action : {-1, 4}) {
        noDirectory.action = action;
        EXPECT_FALSE(planUnzipJob(noDirectory).ok()) << action;
    }
}

class JobRunTest : public EngineSessionTest {};

TEST_F(JobRunTest, AZipJobFillsTheBlockFromItsValues)
{
    ZipJob job = zipJob(3, "/srv/data");
    job.password = "pw";
    job.tempFilePath = "/var/tmp";
    job.date = "01/02/2024";
    job.oldAsLatest = 1;
    job.compMethod = 12; // beyond the list: handed on as stored
    job.recurseSubdirs = 1;
    job.includeSystemHidden = 1;
    job.spanDisks = 3;
    job.include = "*.c *.h";
    job.exclude = "*.o";
    job.comment = "kept only with Edit Comment";

    EXPECT_EQ(runZipJob(job, ui, engine, settings), EngineResult::Ok);
    ASSERT_EQ(engine.zipCalls().size(), 1u);
    const auto& call = engine.zipCalls()[0];
    EXPECT_EQ(call.archivePath, "/backup/data.zip");
    EXPECT_EQ(call.itemSpecification, "\"/srv/data/*.*\"");
    EXPECT_EQ(call.block.function, ZipFunction::Add);
    EXPECT_EQ(call.block.deleteSourceFiles, 1u);
    EXPECT_EQ(call.password, "pw");
    EXPECT_EQ(call.block.encrypt, 1u);
    EXPECT_EQ(call.temporaryDirectory, "/var/tmp");
    EXPECT_EQ(call.date, std::nullopt); // "Add Files Dated From" is off
    EXPECT_EQ(call.block.oldAsLatest, 1u);
    EXPECT_EQ(call.block.compressionLevel, 12u);
    EXPECT_EQ(call.block.noDirectoryNames, 1u);
    EXPECT_EQ(call.block.recurse, 1u);
    EXPECT_EQ(call.block.includeSystemAndHidden, 1u);
    EXPECT_EQ(call.block.spanOptions, 0x8003);
    EXPECT_EQ(call.includeList, "*.c *.h");
    EXPECT_EQ(call.excludeList, "*.o");
    EXPECT_EQ(call.comment, std::nullopt);

    job.addNewerFiles = 1;
    job.editZipComment = 1;
    job.storePath = 1;
    job.password.clear();
    job.include.clear();
    EXPECT_EQ(runZipJob(job, ui, engine, settings), EngineResult::Ok);
    const auto& second = engine.zipCalls()[1];
    EXPECT_EQ(second.date, "01/02/2024");
    EXPECT_EQ(second.comment, "kept only with Edit Comment");
    EXPECT_EQ(second.block.noDirectoryNames, 0u);
    EXPECT_EQ(second.password, std::nullopt);
    EXPECT_EQ(second.includeList, std::nullopt);
}

TEST_F(JobRunTest, AWholeDriveBackupRecursesAndStoresPathsWhateverTheBoxesSay)
{
    ZipJob job = zipJob(0, "/home/ann");
    job.spanDisks = 1;
    job.backupEntireDrive = 1;
    engine.queueZipResult(EngineResult::BadArgument);
    EXPECT_EQ(runZipJob(job, ui, engine, settings), EngineResult::BadArgument);
    const auto& call = engine.zipCalls().at(0);
    EXPECT_EQ(call.itemSpecification, "\"/*.*\"");
    EXPECT_EQ(call.block.recurse, 1u);
    EXPECT_EQ(call.block.noDirectoryNames, 0u);
}

TEST_F(JobRunTest, ARefusedJobReachesNoEngineAndSaysWhy)
{
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(runZipJob(zipJob(6, "/srv"), ui, engine, settings), JobResult::Refused);
    UnzipJob unzip;
    unzip.zipFile = "a.zip";
    unzip.action = 7;
    ui.answerMessage(DialogResult::Ok);
    EXPECT_EQ(runUnzipJob(unzip, ui, engine, settings), JobResult::Refused);
    EXPECT_TRUE(engine.zipCalls().empty());
    EXPECT_TRUE(engine.unzipCalls().empty());
    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{
                  "The job's command (Action=6) is none of the commands a ZIP job can run.\n\nThe job was not run.",
                  "The job's command (Action=7) is none of the commands an UNZIP job can run.\n\nThe job was not run."}));
}

TEST_F(JobRunTest, AnUnzipJobFillsTheBlockFromItsValues)
{
    UnzipJob job;
    job.overwrite = 1;
    job.recurse = 1;
    job.recreate = 0;
    job.action = 3;
    job.password = "pw";
    job.directory = "/out";
    job.zipFile = "/in/a.zip";
    EXPECT_EQ(runUnzipJob(job, ui, engine, settings), EngineResult::Ok);
    ASSERT_EQ(engine.unzipCalls().size(), 1u);
    const auto& call = engine.unzipCalls()[0];
    EXPECT_EQ(call.archivePath, "/in/a.zip");
    EXPECT_EQ(call.itemSpecification, "\"*.*\""); // an empty include list takes every entry
    EXPECT_EQ(call.destinationDirectory, "/out/");
    EXPECT_EQ(call.password, "pw");
    EXPECT_EQ(call.block.decrypt, 1u);
    EXPECT_EQ(call.block.overwrite, 1u);
    EXPECT_EQ(call.block.recursePathInformation, 1u);
    EXPECT_EQ(call.block.noDirectoryNames, 1u);
    EXPECT_EQ(call.block.testOnly, 1u);
}

} // namespace
