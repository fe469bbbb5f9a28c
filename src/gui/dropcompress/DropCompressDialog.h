#pragma once

#include "gui/dialogs/CentredDialog.h"

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quarvo {
class AppSettings;
class Document;
class UserInterface;
} // namespace quarvo

namespace quarvo::gui {

class ZipOptionsDialog;

// One archive the dropped files may go to: an open document of any kind.
struct DropTarget {
    Document* document = nullptr;
    std::string path;
    // A ZIP archive document: only those take files.
    bool isZipArchive = false;
    bool onRemovableDrive = false;
};

// "Drag & Drop Files To Compress": asks which open archive the dropped (or requested) files go to and
// with which command of the add family. It lists the files, one line each, as filesToCompressLines
// made them; offers every open document as the target, the active one chosen; creates ("&New...")
// or opens ("&Open...") another archive; and shows the ZIP options, which only "&Options..." changes
// (the add runs with the options of the settings). "&Execute" refuses without a target ("Select a
// file to compress to.") and for a target that is no ZIP archive document ("Files may be added to
// ZIP files only."), whatever its name says. The dialog changes no archive.
class DropCompressDialog : public CentredDialog {
    Q_OBJECT
  public:
    // How the dialog reaches the rest of the program.
    struct Services {
        // The open documents, in order.
        std::function<std::vector<DropTarget>()> targets;
        // Makes a new empty ZIP archive with its window (asking for its name); null when none was made.
        std::function<Document*()> createArchive;
        // Opens archives through the Open dialog; the last opened, or null.
        std::function<Document*()> openArchive;
        // Brings the document's window to the front.
        std::function<void(Document*)> showDocument;
        // The one ZIP Options dialog and the settings it edits; "&Options..." is disabled without them.
        ZipOptionsDialog* optionsDialog = nullptr;
    };

    DropCompressDialog(std::vector<std::string> lines, AppSettings& settings, UserInterface& ui,
                       Services services, Document* initialTarget, QWidget* parent = nullptr);

    // After Execute: the chosen document, the command position (0 add ... 5 move/freshen) and the
    // lines.
    Document* targetDocument() const { return m_target; }
    int action() const { return m_action; }
    const std::vector<std::string>& fileList() const { return m_lines; }

    void accept() override;

    QListWidget* filesList() const { return m_files; }
    QComboBox* targetList() const { return m_targetList; }
    QComboBox* commandList() const { return m_command; }
    QComboBox* methodList() const { return m_method; }
    QComboBox* spanList() const { return m_span; }
    QLabel* spanLabel() const { return m_spanLabel; }
    QCheckBox* recurseBox() const { return m_recurse; }
    QCheckBox* storePathBox() const { return m_storePath; }
    QLineEdit* passwordField() const { return m_password; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* openButton() const { return m_open; }
    QPushButton* optionsButton() const { return m_options; }
    QPushButton* executeButton() const { return m_execute; }

  private:
    void fillTargets(Document* select);
    void targetChosen(int index);
    void updateSpanControls();
    void loadOptionControls();
    void showOptions();
    void adopt(Document* document);
    const DropTarget* chosenTarget() const;

    std::vector<std::string> m_lines;
    AppSettings& m_settings;
    UserInterface& m_ui;
    Services m_services;
    std::vector<DropTarget> m_targets;
    Document* m_target = nullptr;
    int m_action = 0;
    int m_spanType = 0;

    QListWidget* m_files;
    QComboBox* m_targetList;
    QComboBox* m_command;
    QComboBox* m_method;
    QComboBox* m_span;
    QLabel* m_spanLabel;
    QCheckBox* m_recurse;
    QCheckBox* m_storePath;
    QLineEdit* m_password;
    QPushButton* m_new;
    QPushButton* m_open;
    QPushButton* m_options;
    QPushButton* m_execute;
};

} // namespace quarvo::gui
