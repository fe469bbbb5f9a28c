#pragma once

#include "gui/app/DocumentWindow.h"

class QLineEdit;

namespace quarvo {
class JobDocument;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

// The window of an open job file: a form of the job's values in a plain document window. It offers
// "&Execute!", "&Save Config File" (Ctrl+S) and "Save Config File &As...", and names Close "&Close
// Config File". The form works on its own copy of the values: the document's values go into the
// controls when it is shown or re-read (JobFormHint::Load), and the controls' values go back into
// the document (JobFormHint::Store) before the job is saved, run or closed.
class JobWindow : public DocumentWindow {
    Q_OBJECT
  public:
    JobWindow(JobDocument& document, UserInterface& ui, QWidget* parent = nullptr);
    ~JobWindow() override;

    void releaseDocument() override;

    bool handlesCommand(int id) const override;
    bool isCommandEnabled(int id) const override;
    void runCommand(int id) override;
    std::optional<CommandWords> commandWords(int id) const override;

    void onDocumentUpdate(View* sender, int hint) override;

  protected:
    // The document's values into the controls, and the controls' back into the document.
    virtual void loadForm() = 0;
    virtual void storeForm() = 0;

    // "Browse...": the form's values go to the document, then an open dialog titled "Browse for ZIP
    // File" starts from the text of zipFile; a chosen file's full path replaces that text and the
    // document counts as modified.
    void browseForArchive(QLineEdit* zipFile);

    JobDocument* m_job;

  private:
    UserInterface& m_ui;
};

} // namespace quarvo::gui
