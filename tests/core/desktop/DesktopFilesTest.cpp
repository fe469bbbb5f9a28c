#include "core/desktop/DesktopEntry.h"
#include "core/desktop/DesktopIcons.h"
#include "core/desktop/DesktopKinds.h"
#include "core/desktop/MimePackage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quarvo;

namespace {

struct KindRow {
    std::string_view extension;
    std::string_view mimeType;
    std::string_view typeName;
    bool ownType;
};

// The eight kinds as the desktop must see them, in registration order.
constexpr KindRow expectedKinds[] = {
    {".zip", "application/zip", "Quarvo ZIP File", false},
    {".tar", "application/x-tar", "Quarvo TAR File", false},
    {".tgz", "application/x-compressed-tar", "Quarvo TGZ File", false},
    {".taz", "application/x-tarz", "Quarvo TAZ File", false},
    {".gz", "application/gzip", "Quarvo GZ File", false},
    {".z", "application/x-compress", "Quarvo Z File", false},
    {".cfu", "application/x-quarvo-unzip-job", "Quarvo Unzip Config File", true},
    {".cfz", "application/x-quarvo-zip-job", "Quarvo Zip Config File", true},
};

bool hasIcon(std::string_view name)
{
    auto icons = desktopIcons();
    return std::any_of(icons.begin(), icons.end(), [&](const DesktopIcon& icon) {
        return icon.name == name && icon.svg.starts_with("<?xml") && icon.svg.find("<svg") != std::string_view::npos;
    });
}

TEST(DesktopFiles, EveryKindHasItsTypeInTheEntryItsIconAndOwnTypesTheirDefinition)
{
    ASSERT_EQ(desktopKinds().size(), std::size(expectedKinds));
    std::string entry = desktopEntryText("/usr/bin/quarvo");
    std::string package = mimePackageText();
    for (size_t i = 0; i < std::size(expectedKinds); ++i) {
        const KindRow& row = expectedKinds[i];
        const DesktopKind& kind = desktopKinds()[i];
        SCOPED_TRACE(std::string(row.extension));
        EXPECT_EQ(kind.info->extension, row.extension);
        EXPECT_EQ(kind.mimeType, row.mimeType);
        EXPECT_EQ(kind.ownType, row.ownType);
        EXPECT_NE(entry.find(std::string(row.mimeType) + ";"), std::string::npos);
        EXPECT_TRUE(hasIcon(iconNameForMimeType(row.mimeType)));
        std::string definition = "<mime-type type=\"" + std::string(row.mimeType) + "\">\n"
                                 "    <comment>" + std::string(row.typeName) + "</comment>\n"
                                 "    <sub-class-of type=\"text/plain\"/>\n"
                                 "    <icon name=\"" + iconNameForMimeType(row.mimeType) + "\"/>\n"
                                 "    <glob pattern=\"*" + std::string(row.extension) + "\"/>\n"
                                 "  </mime-type>";
        // The standard types are the desktop's own: Quarvo must not define them again.
        EXPECT_EQ(package.find(definition) != std::string::npos, row.ownType);
        EXPECT_EQ(package.find("\"" + std::string(row.mimeType) + "\"") != std::string::npos, row.ownType);
    }
    EXPECT_TRUE(hasIcon(ProgramIconName));
}

TEST(DesktopFiles, EntryRunsTheProgramAndItsExtractAction)
{
    std::string entry = desktopEntryText("/opt/my apps/quarvo");
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    for (std::string_view line : {"TryExec=/opt/my apps/quarvo\n", "Exec=\"/opt/my apps/quarvo\" %f\n",
                                  "Icon=quarvo\n", "Actions=extract;\n",
                                  "\n[Desktop Action extract]\nName=Extract...\n"
                                  "Exec=\"/opt/my apps/quarvo\" --extract %f\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
}

TEST(DesktopFiles, ProgramPathIsQuotedByTheDesktopEntryRules)
{
    struct Case {
        std::string_view path;
        std::string_view execArgument;
        std::string_view stringValue;
    };
    const Case cases[] = {
        {"/usr/bin/quarvo", R"("/usr/bin/quarvo")", "/usr/bin/quarvo"},
        {"/opt/a b/quarvo", R"("/opt/a b/quarvo")", "/opt/a b/quarvo"},
        {"/opt/say \"hi\"/q", R"("/opt/say \\"hi\\"/q")", "/opt/say \"hi\"/q"},
        {"/opt/$HOME/`x`/q", R"("/opt/\\$HOME/\\`x\\`/q")", "/opt/$HOME/`x`/q"},
        {"/opt/back\\slash/q", R"("/opt/back\\\\slash/q")", R"(/opt/back\\slash/q)"},
        {"/opt/100%/q", R"("/opt/100%%/q")", "/opt/100%/q"},
        {"/opt/new\nline/q", R"("/opt/new\nline/q")", R"(/opt/new\nline/q)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quoteExecArgument(c.path), c.execArgument) << c.path;
        EXPECT_EQ(escapeDesktopString(c.path), c.stringValue) << c.path;
    }
}

} // namespace

namespace {

// The installation's entry is the user's one but for how it names the program: by name, through
// PATH, so the types, icon and Extract action can never drift apart between the two.
TEST(DesktopEntry, TheInstalledEntryDiffersOnlyInNamingTheProgram)
{
    auto linesOf = [](const std::string& text) {
        std::vector<std::string> lines;
        for (size_t start = 0, end; start < text.size(); start = end + 1) {
            end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    };
    std::vector<std::string> user = linesOf(desktopEntryText("/opt/q/bin/quarvo"));
    std::vector<std::string> installed = linesOf(installedDesktopEntryText());
    ASSERT_EQ(installed.size(), user.size());
    std::vector<std::string> differing;
    for (size_t i = 0; i < user.size(); ++i) {
        if (user[i] != installed[i])
            differing.push_back(installed[i]);
    }
    EXPECT_EQ(differing, (std::vector<std::string>{"TryExec=quarvo", "Exec=quarvo %f", "Exec=quarvo --extract %f"}));
}

} // namespace
