#include "gui/dialogs/DirectoryChooser.h"

#include "core/dialogs/DirectoryConfirmation.h"
#include "gui/dialogs/DirectoryTree.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace quarvo::gui {

DirectoryChooser::DirectoryChooser(const QString& label, QWidget* parent)
    : QWidget(parent), m_field(new QComboBox(this)), m_tree(new DirectoryTree(this)),
      m_mountPoints(new MountPointList(this))
{
    m_field->setEditable(true);
    m_field->setInsertPolicy(QComboBox::NoInsert);
    // Completing from the history would turn a typed "/data" into a remembered "/data/old" and
    // run the command on the wrong directory.
    m_field->setCompleter(nullptr);
    m_field->setMinimumContentsLength(40);

    auto* fieldLabel = new QLabel(label, this);
    fieldLabel->setBuddy(m_field);
    auto* treeLabel = new QLabel(QStringLiteral("&Directories:"), this);
    treeLabel->setBuddy(m_tree);
    auto* mountLabel = new QLabel(QStringLiteral("Dri&ves:"), this);
    mountLabel->setBuddy(m_mountPoints);
    m_mountPoints->setMaximumHeight(m_mountPoints->fontMetrics().height() * 6);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fieldLabel, 0, 0);
    layout->addWidget(m_field, 1, 0);
    layout->addWidget(treeLabel, 2, 0);
    layout->addWidget(m_tree, 3, 0);
    layout->addWidget(mountLabel, 4, 0);
    layout->addWidget(m_mountPoints, 5, 0);

    connect(m_tree, &DirectoryTree::directoryChanged, m_field, &QComboBox::setEditText);
    connect(m_mountPoints, &MountPointList::mountPointChosen, this, [this](const QString& root) {
        if (m_tree->setDirectory(root))
            m_field->setEditText(m_tree->directory());
    });
    connect(m_field, &QComboBox::activated, this,
            [this](int index) { m_tree->setDirectory(m_field->itemText(index)); });
}

void DirectoryChooser::setHistory(const DirectoryHistory& history)
{
    m_field->clear();
    for (const std::string& directory : history) {
        if (directory.empty())
            break;
        m_field->addItem(QString::fromStdString(directory));
    }
}

void DirectoryChooser::setDirectory(const QString& directory)
{
    const QString shown = directory.isEmpty() ? QDir::currentPath() : directory;
    if (!m_tree->setDirectory(shown))
        m_tree->setDirectory(QDir::currentPath());
    m_field->setEditText(shown);
}

QString DirectoryChooser::directory() const
{
    const QString text = m_field->currentText();
    if (text.isEmpty() || text.contains(QStringLiteral("...")))
        return m_tree->directory();
    return text;
}

bool DirectoryChooser::takeDirectory(UserInterface& ui, std::string& target, DirectoryHistory& history) const
{
    const std::string chosen = directory().toStdString();
    if (!confirmDirectory(ui, chosen))
        return false;
    target = chosen;
    addToDirectoryHistory(history, target);
    return true;
}

} // namespace quarvo::gui
