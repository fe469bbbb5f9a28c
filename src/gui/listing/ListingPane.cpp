#include "gui/listing/ListingPane.h"

#include "core/app/CommandIds.h"
#include "core/listing/SortOrder.h"
#include "core/settings/AppSettings.h"
#include "gui/dialogs/FontSaveDialog.h"
#include "gui/listing/FilterDialog.h"
#include "gui/listing/FontConversion.h"
#include "gui/listing/HeaderBar.h"
#include "gui/listing/ListingView.h"

#include <QVBoxLayout>

#include <array>

namespace quarvo::gui {

namespace {

constexpr std::array sortCommands = {CommandId::SortByName,           CommandId::SortByPath,
                                     CommandId::SortByExtension,      CommandId::SortByDate,
                                     CommandId::SortByUncompressedSize, CommandId::SortByCompressedSize,
                                     CommandId::SortByRatio,          CommandId::SortByOrder};

// The sort orders are numbered by the commands that choose them.
std::optional<SortOrder> sortOrderOfCommand(int id)
{
    for (int command : sortCommands) {
        if (command == id)
            return SortOrder(id);
    }
    return std::nullopt;
}

constexpr std::array otherCommands = {CommandId::ShowAllDetails, CommandId::ShowNameOnly,   CommandId::ChangeFont,
                                      CommandId::ChangeFilter,   CommandId::SelectAll,      CommandId::ClearSelection,
                                      CommandId::Copy,           CommandId::SelectionIndicator};

std::optional<ListingPane::FontChoice> askFont(const QFont& font, QWidget* parent)
{
    FontSaveDialog dialog(font, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ListingPane::FontChoice{dialog.selectedFont(), dialog.saved()};
}

} // namespace

ListingPane::ListingPane(ListingSource& source, AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_headerBar(new HeaderBar(this)), m_listing(new ListingView(source, this)),
      m_dialogs{FilterDialog::ask, askFont}, m_fontDescription(settings.font)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_headerBar);
    layout->addWidget(m_listing, 1);
    setFocusProxy(m_listing);

    m_headerBar->setListing(m_listing);
    connect(m_listing, &ListingView::displayModeChanged, m_headerBar, &QWidget::setVisible);
    connect(m_listing, &ListingView::statusTextRequested, this, &ListingPane::statusTextRequested);
    connect(m_headerBar, &HeaderBar::statusTextRequested, this, &ListingPane::statusTextRequested);
    connect(m_listing, &ListingView::filterChanged, this, &ListingPane::filterChanged);
    connect(m_listing, &ListingView::viewEntryRequested, this, &ListingPane::viewEntryRequested);

    m_listing->setListFont(fontFromDescription(m_fontDescription));
    m_listing->fillList();
}

bool ListingPane::handlesCommand(int id) const
{
    return sortOrderOfCommand(id) || std::find(otherCommands.begin(), otherCommands.end(), id) != otherCommands.end();
}

bool ListingPane::isCommandEnabled(int id) const
{
    return handlesCommand(id);
}

std::optional<bool> ListingPane::commandCheck(int id) const
{
    if (std::optional<SortOrder> order = sortOrderOfCommand(id))
        return m_listing->sortOrder() == *order;
    if (id == CommandId::ShowAllDetails)
        return m_listing->showsDetails();
    if (id == CommandId::ShowNameOnly)
        return !m_listing->showsDetails();
    return std::nullopt;
}

bool ListingPane::runCommand(int id)
{
    if (std::optional<SortOrder> order = sortOrderOfCommand(id)) {
        m_listing->setSort(*order);
        return true;
    }
    switch (id) {
    case CommandId::ShowAllDetails:
        m_listing->setDisplayMode(true);
        return true;
    case CommandId::ShowNameOnly:
        m_listing->setDisplayMode(false);
        return true;
    case CommandId::ChangeFont:
        changeFont();
        return true;
    case CommandId::ChangeFilter:
        changeFilter();
        return true;
    case CommandId::SelectAll:
        m_listing->selectAllRows(true);
        return true;
    case CommandId::ClearSelection:
        m_listing->selectAllRows(false);
        return true;
    case CommandId::Copy:
    case CommandId::SelectionIndicator:
        // Routed here so that they stay enabled; the listing defines no clipboard form.
        return true;
    default:
        return false;
    }
}

void ListingPane::changeFilter()
{
    std::optional<QString> filter = m_dialogs.askFilter(QString::fromStdString(m_listing->filter()), this);
    if (filter)
        m_listing->setFilter(filter->toStdString());
}

void ListingPane::changeFont()
{
    std::optional<FontChoice> choice = m_dialogs.askFont(m_listing->font(), this);
    if (!choice)
        return;
    m_fontDescription = descriptionFromFont(choice->font, m_fontDescription, logicalDpiY());
    // The listing takes the font made from the description, so a listing opened later from the
    // same default looks exactly like this one.
    m_listing->setListFont(fontFromDescription(m_fontDescription));
    m_settings.font = m_fontDescription;
    if (choice->save)
        m_settings.saveFont(m_fontDescription);
}

StatusSummary ListingPane::statusSummary() const
{
    return m_listing->statusSummary();
}

} // namespace quarvo::gui
