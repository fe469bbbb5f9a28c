#pragma once

#include "gui/dialogs/CentredDialog.h"

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quarvo {
class UserInterface;
}

namespace quarvo::gui {

class SearchRun;

// "Search ZIP Files": looks through the directories of the Location (parts separated by ";") for
// ZIP archives whose entry names match File Name or whose comments hold the Key Word, and lists
// them. One dialog lives for the program run, so its fields keep their values; the results start
// empty at each opening and only "&Clear" empties them otherwise. The search runs on a thread of
// its own: lines appear as they are found, "&Cancel Search" stops it between two files, and Close,
// Open, Search and Clear wait until it has ended. "&Open" (or a double click) opens the selected
// archive lines as documents; an entry line only says which line to choose instead.
class SearchZipDialog : public CentredDialog {
    Q_OBJECT
  public:
    // openArchive opens a path as File > Open would; messages go through ui.
    SearchZipDialog(UserInterface& ui, std::function<void(const std::string&)> openArchive,
                    QWidget* parent = nullptr);
    ~SearchZipDialog() override;

    QLineEdit* keyWordField() const { return m_keyWord; }
    QLineEdit* fileNameField() const { return m_fileName; }
    QComboBox* locationList() const { return m_location; }
    QCheckBox* subdirectoriesBox() const { return m_subdirectories; }
    QCheckBox* selfExtractingBox() const { return m_selfExtracting; }
    QListWidget* resultsList() const { return m_results; }
    QLabel* searchingLabel() const { return m_searching; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* cancelSearchButton() const { return m_cancelSearch; }
    QPushButton* openButton() const { return m_open; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* closeButton() const { return m_close; }
    bool isSearching() const;

    void reject() override;

  signals:
    void helpRequested();
    // The search started with "&Search" has ended, cancelled or not.
    void searchFinished();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void startSearch();
    void searchEnded();
    void setSearching(bool searching);
    void addLine(int kind, const QString& text, const QString& archivePath);
    void openSelected();
    void clearResults();
    void fillLocations();

    UserInterface& m_ui;
    std::function<void(const std::string&)> m_openArchive;
    std::unique_ptr<SearchRun> m_run;
    bool m_closeAfterSearch = false;

    QLineEdit* m_keyWord;
    QLineEdit* m_fileName;
    QComboBox* m_location;
    QCheckBox* m_subdirectories;
    QCheckBox* m_selfExtracting;
    QListWidget* m_results;
    QLabel* m_searching;
    QPushButton* m_search;
    QPushButton* m_cancelSearch;
    QPushButton* m_open;
    QPushButton* m_clear;
    QPushButton* m_close;
};

} // namespace quarvo::gui
