#pragma once

#include "core/framework/View.h"
#include "gui/app/CommandRouter.h"
#include "gui/listing/StatusSummary.h"

#include <QWidget>

#include <optional>

namespace quarvo {
class Document;
}

namespace quarvo::gui {

// The content of one document window in the main window's MDI area: an archive listing or a job
// form. It is a view of its document and a command target; while it is the active window its
// commands come first, and its kind's menu is shown.
class DocumentWindow : public QWidget, public View, public CommandTarget {
    Q_OBJECT
public:
    explicit DocumentWindow(Document& document, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    // The document shown; only valid until releaseDocument().
    Document& document() const { return *m_document; }
    bool hasDocument() const { return m_document != nullptr; }
    // The document's address, for comparing only: it may name a document that is already gone.
    const Document* documentAddress() const { return m_document; }
    // The document is closing: the window stops being its view at once and must not touch it again,
    // even if the window itself is deleted only later.
    virtual void releaseDocument();
    // The document is already gone (the close-all walk destroyed it): forget it without a word to it.
    void forgetDocument() { m_document = nullptr; }

    // Which menu bar the main window shows while this window is active: its kind's by default.
    virtual int menuResourceId() const;
    // The window's title: the document's title; archive windows add their filter.
    virtual QString titleText() const;
    // Where the status bar takes the summaries that replace the idle prompt while this window is
    // active: the archive listings; null for windows that have none (job forms).
    virtual const SummaryProvider* summaryProvider() const { return nullptr; }
    // Runs a command and says whether it succeeded; New ZIP needs to know whether Add Files did.
    virtual bool runCommandWithResult(int id);

    // CommandTarget: a plain document window has no commands of its own.
    bool handlesCommand(int) const override { return false; }
    bool isCommandEnabled(int) const override { return false; }
    void runCommand(int) override {}

    // View: a plain document window draws nothing from its document.
    void onDocumentUpdate(View*, int) override {}

signals:
    // The title changed (a new filter, a reload): the frame re-reads titleText().
    void titleChanged();
    // The summaries changed (a selection, a reload): the status bar re-reads them.
    void statusChanged();
    // A text for the status bar's message pane (a prompt, a progress text, the idle prompt).
    void statusTextRequested(const QString& text);
    // The window's commands changed state: the menus and the tool bar are brought up to date.
    void commandStatesChanged();

private:
    Document* m_document;
};

} // namespace quarvo::gui
