#pragma once

#include "core/text/DirectoryHistory.h"

#include <QWidget>

#include <string>

class QComboBox;
class QLabel;

namespace quarvo {
class UserInterface;
}

namespace quarvo::gui {

class DirectoryTree;
class MountPointList;

// The directory part of the compress, extract and check-out dialogs: an editable directory field
// whose drop-down offers the recent directories, the directory tree and the mounted volumes. Moving
// in the tree or to a volume writes the new directory into the field; picking a recent directory
// moves the tree there when it exists.
class DirectoryChooser : public QWidget {
    Q_OBJECT
  public:
    explicit DirectoryChooser(const QString& label, QWidget* parent = nullptr);

    // The drop-down items: the history in order, up to its first empty entry.
    void setHistory(const DirectoryHistory& history);
    // Puts directory in the field and, when it exists, moves the tree there; an empty directory
    // stands for the working directory.
    void setDirectory(const QString& directory);

    // The chosen directory: the field's text, or the tree's directory when the text is empty or
    // shortened with "...".
    QString directory() const;

    // Accepting the dialog: the chosen directory must exist, or the user has it created (asked
    // through ui). Then it becomes target and moves to the top of history; otherwise both stay
    // as they were and the dialog stays open.
    bool takeDirectory(UserInterface& ui, std::string& target, DirectoryHistory& history) const;

    QComboBox* field() const { return m_field; }
    DirectoryTree* tree() const { return m_tree; }
    MountPointList* mountPoints() const { return m_mountPoints; }

  private:
    QComboBox* m_field;
    DirectoryTree* m_tree;
    MountPointList* m_mountPoints;
};

} // namespace quarvo::gui
