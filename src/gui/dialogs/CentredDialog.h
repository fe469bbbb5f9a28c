#pragma once

#include <QDialog>

namespace quarvo::gui {

// Moves window so that its centre lies on the centre of its parent's window (or of the screen when
// it has no parent), keeping it on that screen.
void centreOnParent(QWidget* window);

// A dialog that centres itself on its parent every time it is shown.
class CentredDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

  protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace quarvo::gui
