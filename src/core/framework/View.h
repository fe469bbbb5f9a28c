#pragma once

namespace quarvo {

class Document;

// Update hints passed from a document to its views.
namespace UpdateHint {
constexpr int ContentsRebuilt = 0; // the entry list was re-read: rebuild everything
constexpr int SelectionChanged = 1; // another view changed the shared selection
constexpr int Repaint = 2;          // something drawn changed (an entry's open state, ...)
constexpr int TitleChanged = 3;     // the document was saved under another path: its title changed
} // namespace UpdateHint

// Something that shows a document and wants to hear when it changes. The Qt layer's windows and
// listings implement it; documents hold plain pointers and the view detaches itself before it dies.
class View {
public:
    virtual ~View() = default;

    // Called by Document::updateAllViews for every attached view except the sender.
    virtual void onDocumentUpdate(View* sender, int hint) = 0;
};

} // namespace quarvo
