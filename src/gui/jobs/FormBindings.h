#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <string>
#include <vector>

namespace quarvo::gui {

// The controls of a job form tied to the members of its job, so that loading and storing walk one
// list. Storing starts from the values last loaded and changes only what the controls say otherwise:
// a list without a selection keeps its stored index (an action or method beyond the list is kept,
// never turned into another), and a text the user left as it was shown keeps its stored bytes (a path
// that is no valid UTF-8 does not become another path by passing through the edit field).
template <typename Job>
class FormBindings {
  public:
    void check(QCheckBox* box, int Job::*member)
    {
        m_loaders.push_back([box, member](const Job& job) { box->setChecked(job.*member != 0); });
        m_storers.push_back([box, member](Job& job) { job.*member = box->isChecked() ? 1 : 0; });
    }

    void list(QComboBox* list, int Job::*member)
    {
        m_loaders.push_back([list, member](const Job& job) {
            const int index = job.*member;
            list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
        });
        m_storers.push_back([list, member](Job& job) {
            if (list->currentIndex() >= 0)
                job.*member = list->currentIndex();
        });
    }

    void text(QLineEdit* edit, std::string Job::*member)
    {
        m_loaders.push_back([edit, member](const Job& job) { edit->setText(QString::fromStdString(job.*member)); });
        m_storers.push_back([edit, member](Job& job) {
            if (edit->text() != QString::fromStdString(job.*member))
                job.*member = edit->text().toStdString();
        });
    }

    // A multi-line text whose lines the job joins with CR LF and the edit field with LF.
    void lines(QPlainTextEdit* edit, std::string Job::*member)
    {
        m_loaders.push_back([edit, member](const Job& job) { edit->setPlainText(shownLines(job.*member)); });
        m_storers.push_back([edit, member](Job& job) {
            QString shown = edit->toPlainText();
            if (shown != shownLines(job.*member))
                job.*member = shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
        });
    }

    void load(const Job& job) const
    {
        for (const auto& loader : m_loaders)
            loader(job);
    }

    // The values of the controls, taken over loaded.
    Job store(Job loaded) const
    {
        for (const auto& storer : m_storers)
            storer(loaded);
        return loaded;
    }

  private:
    static QString shownLines(const std::string& text)
    {
        return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    std::vector<std::function<void(const Job&)>> m_loaders;
    std::vector<std::function<void(Job&)>> m_storers;
};

} // namespace quarvo::gui
