#include "core/framework/Document.h"

#include "core/framework/View.h"

#include <algorithm>

namespace quarvo {

Document::~Document() = default;

void Document::setPath(std::string path)
{
    m_path = std::move(path);
    auto slash = m_path.find_last_of('/');
    m_title = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

void Document::attachView(View* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void Document::detachView(View* view)
{
    std::erase(m_views, view);
}

void Document::updateAllViews(View* sender, int hint)
{
    // A view may detach itself (or another) while it is told; walk a copy and skip the departed.
    auto views = m_views;
    for (View* view : views) {
        if (view == sender || std::find(m_views.begin(), m_views.end(), view) == m_views.end())
            continue;
        view->onDocumentUpdate(sender, hint);
    }
}

} // namespace quarvo
