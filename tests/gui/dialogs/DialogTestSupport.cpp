#include "DialogTestSupport.h"

#include "core/ui/DialogResult.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace quarvo::testing {

std::vector<std::string> AnsweringUserInterface::messageTexts() const
{
    std::vector<std::string> texts;
    for (const MessageBoxRequest& request : m_messages)
        texts.push_back(request.text);
    return texts;
}

int AnsweringUserInterface::showMessage(const MessageBoxRequest& request)
{
    m_messages.push_back(request);
    if (m_answers.empty()) {
        ++m_unscripted;
        return DialogResult::Cancel;
    }
    int result = m_answers.front();
    m_answers.pop_front();
    return result;
}

int AnsweringUserInterface::askCloseQuestion(const std::string&)
{
    ++m_unscripted;
    return DialogResult::Cancel;
}

int AnsweringUserInterface::editGeneralOptions(GeneralOptionsValues&)
{
    ++m_unscripted;
    return DialogResult::Cancel;
}

void whenModalShows(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action = std::move(action)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModalShows(std::move(action));
            return;
        }
        action(modal);
    });
}

void click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList profileSection(const QString& path, const QString& section)
{
    QFile file(path);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream stream(&file);
    bool inside = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inside = line.compare(QLatin1Char('[') + section + QLatin1Char(']'), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inside && !line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace quarvo::testing
