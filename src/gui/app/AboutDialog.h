#pragma once

#include <QDialog>

namespace quarvo::gui {

// "About Quarvo (TM)": the program's icon, its name and version line, and an OK button.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace quarvo::gui
