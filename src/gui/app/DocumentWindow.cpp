#include "gui/app/DocumentWindow.h"

#include "core/framework/Document.h"
#include "core/framework/DocumentKind.h"

namespace quarvo::gui {

DocumentWindow::DocumentWindow(Document& document, QWidget* parent) : QWidget(parent), m_document(&document)
{
    m_document->attachView(this);
}

DocumentWindow::~DocumentWindow()
{
    releaseDocument();
}

void DocumentWindow::releaseDocument()
{
    if (m_document)
        m_document->detachView(this);
    m_document = nullptr;
}

int DocumentWindow::menuResourceId() const
{
    return m_document && m_document->kind() ? m_document->kind()->resourceId : 0;
}

QString DocumentWindow::titleText() const
{
    return m_document ? QString::fromStdString(m_document->title()) : QString();
}

bool DocumentWindow::runCommandWithResult(int id)
{
    if (!handlesCommand(id) || !isCommandEnabled(id))
        return false;
    runCommand(id);
    return true;
}

} // namespace quarvo::gui
