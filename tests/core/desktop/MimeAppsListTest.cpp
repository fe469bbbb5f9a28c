#include "core/desktop/MimeAppsList.h"

#include <gtest/gtest.h>

#include <array>

using namespace quarvo;

namespace {

constexpr std::array<std::string_view, 2> types{"application/zip", "application/x-tar"};

TEST(MimeAppsList, AddsAssociationsAndBecomesDefaultOnlyWhereNoneIsSet)
{
    struct Case {
        std::string_view name;
        std::string_view before;
        std::string_view after;
    };
    const Case cases[] = {
        {"empty file", "",
         "[Added Associations]\napplication/zip=quarvo.desktop;\napplication/x-tar=quarvo.desktop;\n\n"
         "[Default Applications]\napplication/zip=quarvo.desktop\napplication/x-tar=quarvo.desktop\n"},
        {"the user's default and other lines stay",
         "# mine\n[Default Applications]\napplication/zip=ark.desktop\ntext/plain=gedit.desktop\n\n"
         "[Added Associations]\napplication/zip=ark.desktop;\n\n[Removed Associations]\nimage/png=gimp.desktop;\n",
         "# mine\n[Default Applications]\napplication/zip=ark.desktop\ntext/plain=gedit.desktop\n"
         "application/x-tar=quarvo.desktop\n\n"
         "[Added Associations]\napplication/zip=ark.desktop;quarvo.desktop;\napplication/x-tar=quarvo.desktop;\n\n"
         "[Removed Associations]\nimage/png=gimp.desktop;\n"},
        {"an empty default counts as none, a list without its last semicolon is extended",
         "[Added Associations]\napplication/x-tar=a.desktop\n[Default Applications]\napplication/x-tar=\n",
         "[Added Associations]\napplication/x-tar=a.desktop;quarvo.desktop;\napplication/zip=quarvo.desktop;\n"
         "[Default Applications]\napplication/x-tar=quarvo.desktop\napplication/zip=quarvo.desktop\n"},
        {"a type the user took Quarvo from is left alone",
         "[Removed Associations]\napplication/zip=quarvo.desktop;\n",
         "[Removed Associations]\napplication/zip=quarvo.desktop;\n\n[Added Associations]\n"
         "application/x-tar=quarvo.desktop;\n\n[Default Applications]\napplication/x-tar=quarvo.desktop\n"},
        {"already registered: unchanged",
         "[Added Associations]\napplication/zip=quarvo.desktop;\napplication/x-tar=x.desktop;quarvo.desktop;\n"
         "[Default Applications]\napplication/zip=x.desktop\napplication/x-tar=quarvo.desktop\n",
         "[Added Associations]\napplication/zip=quarvo.desktop;\napplication/x-tar=x.desktop;quarvo.desktop;\n"
         "[Default Applications]\napplication/zip=x.desktop\napplication/x-tar=quarvo.desktop\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string added = addAssociations(c.before, types, "quarvo.desktop");
        EXPECT_EQ(added, c.after);
        EXPECT_EQ(addAssociations(added, types, "quarvo.desktop"), added);
    }
}

TEST(MimeAppsList, RemovingGivesBackTheUsersLines)
{
    struct Case {
        std::string_view before;
        std::string_view afterRemoval; // the sections registration added stay, empty
    };
    const Case cases[] = {
        {"# mine\n[Default Applications]\napplication/zip=ark.desktop\n\n[Added Associations]\n"
         "application/zip=ark.desktop;\ntext/plain=gedit.desktop;\n",
         "# mine\n[Default Applications]\napplication/zip=ark.desktop\n\n[Added Associations]\n"
         "application/zip=ark.desktop;\ntext/plain=gedit.desktop;\n"},
        {"[Added Associations]\napplication/x-tar=a.desktop;\n", "[Added Associations]\napplication/x-tar=a.desktop;\n\n"
                                                                   "[Default Applications]\n"},
        {"", "[Added Associations]\n\n[Default Applications]\n"},
    };
    for (const Case& c : cases) {
        std::string removed = removeAssociations(addAssociations(c.before, types, "quarvo.desktop"), "quarvo.desktop");
        EXPECT_EQ(removed, c.afterRemoval);
        EXPECT_EQ(removeAssociations(removed, "quarvo.desktop"), removed);
    }
}

TEST(MimeAppsList, RemovingTakesOnlyQuarvoOutOfSharedLists)
{
    EXPECT_EQ(removeAssociations("[Default Applications]\na/b=x.desktop;quarvo.desktop;y.desktop\n[Other]\n"
                                 "a/b=quarvo.desktop\n",
                                 "quarvo.desktop"),
              "[Default Applications]\na/b=x.desktop;y.desktop;\n[Other]\na/b=quarvo.desktop\n");
}

} // namespace
