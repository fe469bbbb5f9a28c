#pragma once

#include "gui/dialogs/CentredDialog.h"

#include <optional>

class QLineEdit;

namespace quarvo::gui {

// "Change Filter": one line holding the listing's wildcard filter, taken back exactly as typed;
// centred on the window it belongs to.
class FilterDialog : public CentredDialog {
    Q_OBJECT
public:
    explicit FilterDialog(const QString& filter, QWidget* parent = nullptr);

    QString filter() const;
    QLineEdit* filterEdit() const { return m_edit; }

    // Runs the dialog centred on parent; the typed text on OK, nothing on Cancel.
    static std::optional<QString> ask(const QString& filter, QWidget* parent);

private:
    QLineEdit* m_edit;
};

} // namespace quarvo::gui
