#include "core/convert/LinuxExtractor.h"

#include "core/layout/InstallLayout.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

const std::string ElfBesideProgram = "\x7f" "ELF beside";
const std::string ElfInstalled = "\x7f" "ELF installed";

// The extractor is found beside the program (a build tree) or in the installation's companion
// directory; a file there that is no ELF program is passed over, as if it were missing.
TEST(LinuxExtractor, IsTakenFromTheFirstCompanionPlaceHoldingAnElfProgram)
{
    struct Case {
        const char* rule;
        std::optional<std::string> besideProgram;
        std::optional<std::string> installed;
        std::optional<std::string> expected;
    };
    for (const Case& test : {
             Case{"a build tree keeps it beside the program", ElfBesideProgram, std::nullopt, ElfBesideProgram},
             Case{"an installation keeps it in its companion directory", std::nullopt, ElfInstalled, ElfInstalled},
             Case{"the copy beside the program comes first", ElfBesideProgram, ElfInstalled, ElfBesideProgram},
             Case{"a file that is no program is passed over", std::string("#!/bin/sh\n"), ElfInstalled, ElfInstalled},
             Case{"neither place has it", std::nullopt, std::nullopt, std::nullopt},
         }) {
        SCOPED_TRACE(test.rule);
        TemporaryDirectory root;
        std::string programDirectory = root.file("prefix/bin");
        std::filesystem::create_directories(programDirectory);
        std::string installedPlace =
            installedPath(installedPath(programDirectory, InstallLayout::companionDirectory()), LinuxExtractorName);
        if (test.besideProgram)
            writeFile(programDirectory + "/" + LinuxExtractorName, *test.besideProgram);
        if (test.installed)
            writeFile(installedPlace, *test.installed);

        auto loaded = loadLinuxExtractor(programDirectory);
        if (test.expected) {
            ASSERT_TRUE(loaded) << loaded.error().detail;
            EXPECT_EQ(std::string(loaded->begin(), loaded->end()), *test.expected);
        } else {
            ASSERT_FALSE(loaded);
            EXPECT_EQ(loaded.error().failure, ConvertFailure::MissingExtractor);
            EXPECT_EQ(loaded.error().detail, std::filesystem::path(installedPlace).lexically_normal().string());
        }
    }
}

} // namespace
