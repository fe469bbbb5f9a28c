#include "gui/jobs/UnzipJobWindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvo::gui {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

UnzipJobWindow::UnzipJobWindow(UnzipJobDocument& document, UserInterface& ui, QWidget* parent)
    : JobWindow(document, ui, parent)
{
    auto* overwrite = named(new QCheckBox(QStringLiteral("&Overwrite Files"), this), "overwrite");
    auto* recreate = named(new QCheckBox(QStringLiteral("Recreate &Directories"), this), "recreate");
    auto* recurse = named(new QCheckBox(QStringLiteral("Recurse ZIP Path Info."), this), "recurse");
    auto* action = named(new QComboBox(this), "action");
    action->addItems({QStringLiteral("Extract Files"), QStringLiteral("Update Files"), QStringLiteral("Freshen Files")});
    auto* password = named(new QLineEdit(this), "password");
    password->setEchoMode(QLineEdit::Password);
    auto* directory = named(new QLineEdit(this), "directory");
    auto* include = named(new QLineEdit(this), "include");
    auto* zipFile = named(new QLineEdit(this), "zipFile");
    auto* browse = named(new QPushButton(QStringLiteral("Browse..."), this), "browse");

    m_bindings.check(overwrite, &UnzipJob::overwrite);
    m_bindings.check(recreate, &UnzipJob::recreate);
    m_bindings.check(recurse, &UnzipJob::recurse);
    m_bindings.list(action, &UnzipJob::action);
    m_bindings.text(password, &UnzipJob::password);
    m_bindings.text(directory, &UnzipJob::directory);
    m_bindings.text(include, &UnzipJob::include);
    m_bindings.text(zipFile, &UnzipJob::zipFile);

    auto* archive = new QHBoxLayout;
    archive->addWidget(zipFile, 1);
    archive->addWidget(browse);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("ZIP File:"), archive);
    fields->addRow(QStringLiteral("UNZIP To Directory:"), directory);
    fields->addRow(QStringLiteral("Include File List:"), include);
    fields->addRow(QStringLiteral("&Command:"), action);
    fields->addRow(QStringLiteral("Password :"), password);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    for (QCheckBox* box : {overwrite, recreate, recurse})
        layout->addWidget(box);
    layout->addStretch();

    connect(browse, &QPushButton::clicked, this, [this, zipFile] { browseForArchive(zipFile); });
    loadForm();
}

void UnzipJobWindow::loadForm()
{
    m_bindings.load(job().job());
}

void UnzipJobWindow::storeForm()
{
    job().adopt(m_bindings.store(job().job()));
}

} // namespace quarvo::gui
