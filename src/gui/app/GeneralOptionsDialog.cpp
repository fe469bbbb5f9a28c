#include "gui/app/GeneralOptionsDialog.h"

#include "core/ui/DialogResult.h"
#include "gui/app/ProductInfo.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

GeneralOptionsDialog::GeneralOptionsDialog(const GeneralOptionsValues& values, ViewerCheck check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check))
{
    setWindowTitle(QStringLiteral("Quarvo Options"));

    auto* label = new QLabel(QStringLiteral("Default Viewer Name:"), this);
    m_viewer = new QLineEdit(QString::fromStdString(values.viewerName), this);
    m_viewer->setMinimumWidth(300);
    label->setBuddy(m_viewer);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    m_logFile = new QCheckBox(QStringLiteral("Enable Log File"), this);
    m_logFile->setChecked(values.logFile);

    m_save = new QPushButton(QStringLiteral("Save"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    m_save->setDefault(true);
    for (QPushButton* button : {browse, cancel, help})
        button->setAutoDefault(false);

    connect(m_save, &QPushButton::clicked, this, &GeneralOptionsDialog::save);
    connect(cancel, &QPushButton::clicked, this, &GeneralOptionsDialog::reject);
    connect(help, &QPushButton::clicked, this, &GeneralOptionsDialog::helpRequested);
    connect(browse, &QPushButton::clicked, this, &GeneralOptionsDialog::browse);

    auto* fields = new QGridLayout;
    fields->addWidget(label, 0, 0, 1, 2);
    fields->addWidget(m_viewer, 1, 0);
    fields->addWidget(browse, 1, 1);
    fields->addWidget(m_logFile, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

GeneralOptionsValues GeneralOptionsDialog::values() const
{
    return {m_viewer->text().toStdString(), m_logFile->isChecked()};
}

void GeneralOptionsDialog::save()
{
    std::string name = m_viewer->text().toStdString();
    if (std::optional<std::string> problem = m_check ? m_check(name) : std::nullopt) {
        QMessageBox message(QMessageBox::NoIcon, ProductInfo::title(), QString::fromStdString(*problem),
                            QMessageBox::Ok, this);
        message.exec();
        m_viewer->setFocus();
        m_viewer->selectAll();
        return;
    }
    done(DialogResult::Save);
}

void GeneralOptionsDialog::reject()
{
    done(DialogResult::Cancel);
}

void GeneralOptionsDialog::browse()
{
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("Program (*.exe)"), QStringLiteral("All (*)")});
    // Programs here rarely carry an extension, so the list starts with everything.
    dialog.selectNameFilter(QStringLiteral("All (*)"));
    if (!m_viewer->text().isEmpty())
        dialog.selectFile(m_viewer->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_viewer->setText(dialog.selectedFiles().front());
}

} // namespace quarvo::gui
