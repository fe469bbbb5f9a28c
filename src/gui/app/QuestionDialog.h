#pragma once

#include <QDialog>

class QPushButton;

namespace quarvo::gui {

// The question of the close-all walk: a warning sign, the question, and "&Yes", "Yes To &All",
// "&No" (the default, with the focus) and "Cancel". exec() returns the DialogResult of the button.
class QuestionDialog : public QDialog {
    Q_OBJECT
public:
    explicit QuestionDialog(const QString& question, QWidget* parent = nullptr);

    QPushButton* button(int dialogResult) const;

protected:
    void showEvent(QShowEvent* event) override;

public:
    // Escape and the window's close button answer Cancel.
    void reject() override;

private:
    QPushButton* m_yes;
    QPushButton* m_yesToAll;
    QPushButton* m_no;
    QPushButton* m_cancel;
};

} // namespace quarvo::gui
