#include "core/desktop/UserDirectories.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace quarvo;
using quarvo::testing::TemporaryDirectory;

namespace {

TEST(UserDirectories, TemplatesSettingIsReadFromUserDirs)
{
    struct Case {
        std::string_view text;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"XDG_TEMPLATES_DIR=\"$HOME/Templates\"\n", "/home/ann/Templates"},
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_TEMPLATES_DIR=\"/srv/t/\"\n", "/srv/t"},
        {"XDG_TEMPLATES_DIR=\"$HOME/\"\n", "/home/ann"},
        {"XDG_TEMPLATES_DIR=\"$HOME\"\r\n", "/home/ann"},
        {"XDG_TEMPLATES_DIR=\"$HOME/A\"\nXDG_TEMPLATES_DIR=\"$HOME/B\"\n", "/home/ann/B"},
        {"XDG_TEMPLATES_DIR=\"$HOMEWORK/x\"\n", std::nullopt},
        {"XDG_TEMPLATES_DIR=\"relative/x\"\n", std::nullopt},
        {"XDG_TEMPLATES_DIR=$HOME/Templates\n", std::nullopt},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(templatesDirectorySetting(c.text, "/home/ann"), c.expected) << c.text;
}

TEST(UserDirectories, SystemDataDirectoriesFollowXdgDataDirs)
{
    using Directories = std::vector<std::string>;
    const Directories standard{"/usr/local/share", "/usr/share"};
    const std::pair<std::string_view, Directories> cases[] = {
        {"/opt/share:/usr/share/", {"/opt/share", "/usr/share"}},
        {"relative/share:/usr/share::", {"/usr/share"}},
        {"", standard},
        {"relative", standard},
    };
    for (const auto& [setting, expected] : cases)
        EXPECT_EQ(systemDataDirectories(setting), expected) << setting;
}

TEST(UserDirectories, TemplatesDirectoryIsUsedOnlyWhenItExistsAndIsNotHome)
{
    TemporaryDirectory home;
    std::filesystem::create_directory(home.path() / "Templates");
    std::string homePath = home.path().string();
    EXPECT_EQ(usableTemplatesDirectory(home.file("Templates"), homePath), home.file("Templates"));
    EXPECT_EQ(usableTemplatesDirectory(home.file("Missing"), homePath), std::nullopt);
    EXPECT_EQ(usableTemplatesDirectory(homePath, homePath), std::nullopt);
    EXPECT_EQ(usableTemplatesDirectory(homePath + "/.", homePath), std::nullopt);
    EXPECT_EQ(usableTemplatesDirectory(std::nullopt, homePath), std::nullopt);
}

} // namespace
