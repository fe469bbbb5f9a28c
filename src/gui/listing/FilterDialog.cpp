#include "gui/listing/FilterDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace quarvo::gui {

FilterDialog::FilterDialog(const QString& filter, QWidget* parent) : CentredDialog(parent), m_edit(new QLineEdit(filter, this))
{
    setWindowTitle(QStringLiteral("Change Filter"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Filter:"), m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
    m_edit->selectAll();
}

QString FilterDialog::filter() const
{
    return m_edit->text();
}

std::optional<QString> FilterDialog::ask(const QString& filter, QWidget* parent)
{
    FilterDialog dialog(filter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.filter();
}

} // namespace quarvo::gui
