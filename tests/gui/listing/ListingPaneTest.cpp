#include "gui/listing/ListingPane.h"

#include "core/app/CommandIds.h"
#include "core/settings/AppSettings.h"
#include "gui/listing/FilterDialog.h"
#include "gui/listing/FontConversion.h"
#include "gui/listing/HeaderBar.h"
#include "gui/listing/ListingFixtures.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingTexts.h"
#include "gui/listing/ListingView.h"
#include "gui/listing/StatusSummary.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvo;
using namespace quarvo::gui;

namespace {

// Settings over a profile in a fresh directory.
struct TestSettings {
    QTemporaryDir directory;
    AppSettings settings{directory.filePath("quarvo.ini").toStdString(), directory.path().toStdString()};

    QString profileText() const
    {
        QFile file(directory.filePath("quarvo.ini"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }
};

// Dialog answers given in advance; an unexpected question fails the test instead of waiting.
struct ScriptedDialogs {
    std::optional<QString> filterAnswer;
    std::optional<ListingPane::FontChoice> fontAnswer;
    QStringList filtersShown;
    int fontQuestions = 0;

    ListingPane::Dialogs dialogs()
    {
        return {[this](const QString& filter, QWidget*) {
                    filtersShown << filter;
                    return filterAnswer;
                },
                [this](const QFont&, QWidget*) {
                    ++fontQuestions;
                    return fontAnswer;
                }};
    }
};

QFont pixelFont(const char* family, int pixels)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

int selected(const ListingPane& pane)
{
    return pane.listing().selectedRowCount();
}

} // namespace

class ListingPaneTest : public QObject {
    Q_OBJECT
private slots:
    void checkMarksFollowDisplayModeAndSortOrder();
    void onlyTheListingsOwnCommandsAreHandled();
    void headerBarClickSelectsAllUnlessAllAreSelected();
    void headerBarPromptsWhileThePointerIsOverIt();
    void changeFilterTakesTheTextAsTyped();
    void changeFontChangesThisListingAndTheDefault();
    void saveWritesTheFontToTheProfile();
    void statusBarShowsTheSummariesForTheIdlePrompt();
    void filterDialogHoldsTheFilter();
    void fontDescriptionsConvertBothWays();
};

void ListingPaneTest::checkMarksFollowDisplayModeAndSortOrder()
{
    testing::FakeArchive archive;
    archive.add("B.TXT");
    archive.add("A.TXT");
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    pane.show();
    QCOMPARE(pane.commandCheck(CommandId::ShowAllDetails), std::optional<bool>(true));
    QCOMPARE(pane.commandCheck(CommandId::ShowNameOnly), std::optional<bool>(false));
    QCOMPARE(pane.commandCheck(CommandId::SortByName), std::optional<bool>(true));
    QCOMPARE(pane.commandCheck(CommandId::SortByOrder), std::optional<bool>(false));
    QCOMPARE(pane.commandCheck(CommandId::SelectAll), std::nullopt);
    QVERIFY(pane.headerBar().isVisible());

    QVERIFY(pane.runCommand(CommandId::ShowNameOnly));
    QCOMPARE(pane.commandCheck(CommandId::ShowAllDetails), std::optional<bool>(false));
    QCOMPARE(pane.commandCheck(CommandId::ShowNameOnly), std::optional<bool>(true));
    // The names-only form has no columns to title.
    QVERIFY(!pane.headerBar().isVisible());
    QVERIFY(pane.runCommand(CommandId::ShowAllDetails));
    QVERIFY(pane.headerBar().isVisible());

    QVERIFY(pane.runCommand(CommandId::SortByOrder));
    QCOMPARE(pane.commandCheck(CommandId::SortByOrder), std::optional<bool>(true));
    QCOMPARE(pane.commandCheck(CommandId::SortByName), std::optional<bool>(false));
    QCOMPARE(pane.listing().listingModel().entryAt(0), &archive.entry(0));
}

void ListingPaneTest::onlyTheListingsOwnCommandsAreHandled()
{
    testing::FakeArchive archive;
    archive.add("A.TXT", 5);
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    for (int id : {CommandId::SortByRatio, CommandId::ChangeFont, CommandId::ChangeFilter, CommandId::SelectAll,
                   CommandId::ClearSelection, CommandId::Copy, CommandId::SelectionIndicator}) {
        QVERIFY2(pane.handlesCommand(id), qPrintable(QString::number(id)));
        QVERIFY(pane.isCommandEnabled(id));
    }
    // The entry operations belong to the window around the listing.
    QVERIFY(!pane.handlesCommand(CommandId::ViewFile));
    QVERIFY(!pane.runCommand(CommandId::ViewFile));

    QVERIFY(pane.runCommand(CommandId::SelectAll));
    QCOMPARE(selected(pane), 1);
    // Copy is accepted and does nothing.
    QVERIFY(pane.runCommand(CommandId::Copy));
    QCOMPARE(selected(pane), 1);
    QVERIFY(pane.runCommand(CommandId::ClearSelection));
    QCOMPARE(selected(pane), 0);
    QCOMPARE(pane.statusSummary().selected, QStringLiteral("Selected: 0 file(s) (0 Bytes)"));
}

void ListingPaneTest::headerBarClickSelectsAllUnlessAllAreSelected()
{
    testing::FakeArchive archive;
    archive.add("A.TXT", 1);
    archive.add("B.TXT", 2);
    archive.add("C.TXT", 3);
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    pane.resize(500, 300);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QSignalSpy texts(&pane, &ListingPane::statusTextRequested);
    HeaderBar& bar = pane.headerBar();

    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 2));
    QCOMPARE(selected(pane), 3);
    QCOMPARE(texts.last().at(0).toString(), ListingText::idlePrompt());
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 2));
    QCOMPARE(selected(pane), 0);

    pane.listing().selectionModel()->select(
        QItemSelection(pane.listing().listingModel().index(0), pane.listing().listingModel().index(1)),
        QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 2));
    QCOMPARE(selected(pane), 3);
    QVERIFY(archive.entry(2).selected);

    // An empty listing stays empty and nothing is selected.
    pane.listing().setFilter("");
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 2));
    QCOMPARE(selected(pane), 0);
    QCOMPARE(pane.listing().rowCount(), 0);
}

void ListingPaneTest::headerBarPromptsWhileThePointerIsOverIt()
{
    testing::FakeArchive archive;
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    pane.show();
    QSignalSpy texts(&pane, &ListingPane::statusTextRequested);
    QEnterEvent enter(QPointF(5, 2), QPointF(5, 2), QPointF(5, 2));
    QApplication::sendEvent(&pane.headerBar(), &enter);
    QCOMPARE(texts.last().at(0).toString(), QStringLiteral("Click on header bar to select or deselect all items."));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&pane.headerBar(), &leave);
    QCOMPARE(texts.last().at(0).toString(), QStringLiteral("Press F1 for Help"));
}

void ListingPaneTest::changeFilterTakesTheTextAsTyped()
{
    testing::FakeArchive archive;
    archive.add("A.TXT");
    archive.add("B.DOC");
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    ScriptedDialogs dialogs;
    pane.setDialogs(dialogs.dialogs());
    QSignalSpy filterChanges(&pane, &ListingPane::filterChanged);

    dialogs.filterAnswer = std::nullopt; // Cancel
    QVERIFY(pane.runCommand(CommandId::ChangeFilter));
    QCOMPARE(dialogs.filtersShown, QStringList{"*.*"});
    QCOMPARE(pane.listing().rowCount(), 2);
    QCOMPARE(filterChanges.count(), 0);

    dialogs.filterAnswer = QStringLiteral("*.doc");
    pane.runCommand(CommandId::ChangeFilter);
    QCOMPARE(pane.listing().rowCount(), 1);
    QCOMPARE(pane.listing().filter(), std::string("*.doc"));

    dialogs.filterAnswer = QString();
    pane.runCommand(CommandId::ChangeFilter);
    QCOMPARE(dialogs.filtersShown.last(), QStringLiteral("*.doc"));
    QCOMPARE(pane.listing().rowCount(), 0);
    QCOMPARE(pane.listing().filter(), std::string());
    QCOMPARE(filterChanges.count(), 2);
}

void ListingPaneTest::changeFontChangesThisListingAndTheDefault()
{
    testing::FakeArchive archive;
    archive.add("A.TXT", 1234567);
    TestSettings settings;
    ListingPane first(archive, settings.settings);
    ListingPane other(archive, settings.settings);
    first.show();
    const QFont otherFont = other.listing().font();
    const int oldNameEdge = first.listing().columnLayout().edges[1];
    ScriptedDialogs dialogs;
    first.setDialogs(dialogs.dialogs());

    dialogs.fontAnswer = std::nullopt;
    first.runCommand(CommandId::ChangeFont);
    QCOMPARE(dialogs.fontQuestions, 1);
    QCOMPARE(settings.settings.font, defaultFontDescription(SettingsLimits::DefaultVerticalDpi));

    QSignalSpy layouts(&first.listing(), &ListingView::columnsChanged);
    dialogs.fontAnswer = ListingPane::FontChoice{pixelFont("DejaVu Sans", 24), false};
    first.runCommand(CommandId::ChangeFont);
    QCOMPARE(first.listing().font().pixelSize(), 24);
    QCOMPARE(first.listing().visualRect(first.listing().listingModel().index(0)).height(),
             QFontMetrics(first.listing().font()).height());
    QCOMPARE(first.headerBar().height(), QFontMetrics(first.listing().font()).height() + 1);
    QVERIFY(layouts.count() > 0);
    QVERIFY(first.listing().columnLayout().edges[1] > oldNameEdge);
    QCOMPARE(settings.settings.font.height, -24);
    QCOMPARE(settings.settings.font.faceName, std::string("DejaVu Sans"));
    // OK alone writes nothing, and the other open listing keeps its font.
    QVERIFY(!settings.profileText().contains(QStringLiteral("Font")));
    QCOMPARE(other.listing().font(), otherFont);
    // A listing opened now starts in the new font.
    ListingPane later(archive, settings.settings);
    QCOMPARE(later.listing().font().pixelSize(), 24);
    QCOMPARE(later.headerBar().height(), first.headerBar().height());
}

void ListingPaneTest::saveWritesTheFontToTheProfile()
{
    testing::FakeArchive archive;
    TestSettings settings;
    ListingPane pane(archive, settings.settings);
    ScriptedDialogs dialogs;
    pane.setDialogs(dialogs.dialogs());
    QFont bold = pixelFont("DejaVu Serif", 16);
    bold.setBold(true);
    bold.setItalic(true);
    dialogs.fontAnswer = ListingPane::FontChoice{bold, true};
    pane.runCommand(CommandId::ChangeFont);
    QString profile = settings.profileText();
    QVERIFY2(profile.contains(QStringLiteral("Font=-16,0,0,0,700,1,0,0,0,1,2,1,26,DejaVu Serif")), qPrintable(profile));
    QCOMPARE(settings.settings.font.weight, 700);
}

void ListingPaneTest::statusBarShowsTheSummariesForTheIdlePrompt()
{
    testing::FakeArchive empty;
    TestSettings settings;
    ListingPane emptyPane(empty, settings.settings);
    StatusBarTexts texts = statusBarTexts(QStringLiteral("Press F1 for Help"), &emptyPane);
    QCOMPARE(texts.message, QStringLiteral("Total: 0 file(s) (0 Bytes)"));
    QCOMPARE(texts.selection, std::optional<QString>(QStringLiteral("Selected: 0 file(s) (0 Bytes)")));

    testing::FakeArchive archive;
    archive.add("A.BIN", 1024);
    archive.add("B.BIN", 1023);
    ListingPane pane(archive, settings.settings);
    ListingPane second(archive, settings.settings);
    pane.listing().selectionModel()->select(pane.listing().listingModel().index(0), QItemSelectionModel::Select);
    texts = statusBarTexts(QStringLiteral("PRESS f1 FOR HELP"), &pane);
    QCOMPARE(texts.message, QStringLiteral("Total: 2 file(s) (2.04 KB)"));
    QCOMPARE(texts.selection, std::optional<QString>(QStringLiteral("Selected: 1 file(s) (1.02 KB)")));
    // The second window on the archive shows the same selection and counters.
    QCOMPARE(statusBarTexts(ListingText::idlePrompt(), &second).selection,
             std::optional<QString>(QStringLiteral("Selected: 1 file(s) (1.02 KB)")));

    second.listing().selectionModel()->select(second.listing().listingModel().index(1),
                                              QItemSelectionModel::ClearAndSelect);
    QCOMPARE(statusBarTexts(ListingText::idlePrompt(), &pane).selection,
             std::optional<QString>(QStringLiteral("Selected: 1 file(s) (1,023 Bytes)")));

    // Any other text is shown as it is, and nothing is substituted without an archive window.
    texts = statusBarTexts(QStringLiteral("Sorting: A.BIN"), &pane);
    QCOMPARE(texts.message, QStringLiteral("Sorting: A.BIN"));
    QCOMPARE(texts.selection, std::nullopt);
    texts = statusBarTexts(ListingText::idlePrompt(), nullptr);
    QCOMPARE(texts.message, QStringLiteral("Press F1 for Help"));
    QCOMPARE(texts.selection, std::nullopt);
}

void ListingPaneTest::filterDialogHoldsTheFilter()
{
    FilterDialog dialog(QStringLiteral("*.TXT"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Filter"));
    QCOMPARE(dialog.filterEdit()->text(), QStringLiteral("*.TXT"));
    bool labelled = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labelled = labelled || label->text() == QStringLiteral("Filter:");
    QVERIFY(labelled);
    dialog.filterEdit()->setText(QStringLiteral(" *.doc "));
    QCOMPARE(dialog.filter(), QStringLiteral(" *.doc "));

    dialog.open();
    QDialogButtonBox* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons != nullptr);
    buttons->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

void ListingPaneTest::fontDescriptionsConvertBothWays()
{
    FontDescription stored = defaultFontDescription(96);
    stored.faceName = "DejaVu Sans";
    QFont font = fontFromDescription(stored);
    QCOMPARE(font.pixelSize(), 11);
    QCOMPARE(font.weight(), QFont::Normal);
    QCOMPARE(descriptionFromFont(font, stored, 96), stored);

    // A face that is not installed becomes the system's family of its kind, by name, so the font
    // dialog shows the family the listing draws with; the kind of a known face beats the family
    // bits (the default's say roman).
    auto defaultFamilyFor = [](QFont::StyleHint hint) {
        QFont generic;
        generic.setStyleHint(hint);
        return generic.defaultFamily();
    };
    struct Case {
        const char* face;
        QString family;
    };
    const Case faces[] = {
        {"MS Sans Serif", defaultFamilyFor(QFont::SansSerif)},
        {"ms sans serif", defaultFamilyFor(QFont::SansSerif)},
        {"Courier New", defaultFamilyFor(QFont::Monospace)},
        {"No Such Face", defaultFamilyFor(QFont::Serif)},
        {"DejaVu Serif", QStringLiteral("DejaVu Serif")},
    };
    for (const Case& c : faces) {
        FontDescription described = defaultFontDescription(96);
        described.faceName = c.face;
        const QFont drawn = fontFromDescription(described);
        QCOMPARE(drawn.family(), c.family);
        QCOMPARE(QFontInfo(drawn).family(), c.family);
    }
    QVERIFY(defaultFamilyFor(QFont::SansSerif) != defaultFamilyFor(QFont::Serif));

    // A positive height is the whole character cell.
    stored.height = 20;
    QVERIFY(std::abs(QFontMetrics(fontFromDescription(stored)).height() - 20) <= 1);

    // A font sized in points is stored in pixels of the screen.
    QFont points(QStringLiteral("DejaVu Sans"), 12);
    points.setUnderline(true);
    FontDescription converted = descriptionFromFont(points, defaultFontDescription(96), 96);
    QCOMPARE(converted.height, -16);
    QCOMPARE(converted.underline, uint8_t(1));
    // Fields Qt has no notion of keep the values they had.
    QCOMPARE(converted.charSet, defaultFontDescription(96).charSet);
    QCOMPARE(converted.quality, defaultFontDescription(96).quality);
}

QTEST_MAIN(ListingPaneTest)
#include "ListingPaneTest.moc"
