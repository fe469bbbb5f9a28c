#pragma once

#include "core/jobs/UnzipJobDocument.h"
#include "gui/jobs/FormBindings.h"
#include "gui/jobs/JobWindow.h"

namespace quarvo::gui {

// The form of an UNZIP job (".cfu"): the three option boxes, the Command list (Extract, Update and
// Freshen Files; a stored Test, which the list lacks, shows no selection and stays Test), the
// password, the destination directory, the include list and the archive with "Browse...".
class UnzipJobWindow : public JobWindow {
    Q_OBJECT
  public:
    UnzipJobWindow(UnzipJobDocument& document, UserInterface& ui, QWidget* parent = nullptr);

  protected:
    void loadForm() override;
    void storeForm() override;

  private:
    UnzipJobDocument& job() const { return static_cast<UnzipJobDocument&>(*m_job); }

    FormBindings<UnzipJob> m_bindings;
};

} // namespace quarvo::gui
