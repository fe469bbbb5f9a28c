#pragma once

#include "core/documents/SelectionSource.h"
#include "gui/listing/ListingView.h"

namespace quarvo::gui {

// A listing's selection as the core's extract and delete commands take it.
class ListingSelection : public SelectionSource {
public:
    explicit ListingSelection(const ListingView& listing) : m_listing(listing) {}

    int selectedCount() const override { return m_listing.selectedRowCount(); }
    ItemList buildSelectionList() const override
    {
        SelectionList list = m_listing.buildSelectionList();
        return {list.count, std::move(list.text)};
    }

private:
    const ListingView& m_listing;
};

} // namespace quarvo::gui
