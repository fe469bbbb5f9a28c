#include "gui/app/QtUserInterface.h"

#include "core/ui/DialogResult.h"
#include "gui/app/GeneralOptionsDialog.h"
#include "gui/app/ProductInfo.h"
#include "gui/app/ProgressWindow.h"
#include "gui/app/QuestionDialog.h"
#include "gui/dialogs/FileRequestDialog.h"
#include "gui/dialogs/PasswordDialog.h"
#include "gui/dialogs/RunFileDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace quarvo::gui {

namespace {

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

struct ButtonResult {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonResult> buttonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return {{QMessageBox::Ok, DialogResult::Ok}};
    case MessageButtons::OkCancel:
        return {{QMessageBox::Ok, DialogResult::Ok}, {QMessageBox::Cancel, DialogResult::Cancel}};
    case MessageButtons::YesNo:
        return {{QMessageBox::Yes, DialogResult::Yes}, {QMessageBox::No, DialogResult::No}};
    case MessageButtons::YesNoCancel:
        return {{QMessageBox::Yes, DialogResult::Yes},
                {QMessageBox::No, DialogResult::No},
                {QMessageBox::Cancel, DialogResult::Cancel}};
    case MessageButtons::RetryCancel:
        return {{QMessageBox::Retry, DialogResult::Retry}, {QMessageBox::Cancel, DialogResult::Cancel}};
    }
    return {{QMessageBox::Ok, DialogResult::Ok}};
}

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface()
{
    delete m_progress;
}

bool QtUserInterface::isProgressOpen() const
{
    return m_progress != nullptr;
}

ProgressWindow* QtUserInterface::progressWindow() const
{
    return m_progress;
}

QWidget* QtUserInterface::dialogParent() const
{
    if (m_parent)
        return m_parent;
    return QApplication::activeWindow();
}

int QtUserInterface::showMessage(const MessageBoxRequest& request)
{
    if (m_answers)
        return m_answers->showMessage(request);
    QString caption = request.caption.empty() ? ProductInfo::title() : text(request.caption);
    QMessageBox box(iconOf(request.icon), caption, text(request.text), QMessageBox::NoButton, dialogParent());
    std::vector<ButtonResult> buttons = buttonsOf(request.buttons);
    for (const ButtonResult& button : buttons)
        box.addButton(button.button);
    const ButtonResult* defaultButton = &buttons.front();
    for (const ButtonResult& button : buttons) {
        if (button.result == request.defaultButton)
            defaultButton = &button;
    }
    box.setDefaultButton(defaultButton->button);
    // Escape answers the set's Cancel (or its only button), as the window's close button does.
    box.setEscapeButton(buttons.back().button);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonResult& button : buttons) {
        if (clicked == box.button(button.button))
            return button.result;
    }
    return buttons.back().result;
}

int QtUserInterface::askCloseQuestion(const std::string& question)
{
    if (m_answers)
        return m_answers->askCloseQuestion(question);
    QuestionDialog dialog(text(question), dialogParent());
    return dialog.exec();
}

void QtUserInterface::setStatusText(const std::string& statusText)
{
    if (m_hooks.setStatusText)
        m_hooks.setStatusText(statusText);
}

void QtUserInterface::beginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserInterface::endWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void QtUserInterface::openProgress(std::atomic<bool>& cancelRequest)
{
    if (m_progress)
        return;
    m_progress = new ProgressWindow(cancelRequest, dialogParent());
    m_progress->show();
    m_progress->raise();
}

void QtUserInterface::setProgressCaption(const std::string& caption)
{
    if (m_progress)
        m_progress->setWindowTitle(text(caption));
}

void QtUserInterface::setProgress(const std::string& statusText, int percent)
{
    if (m_progress)
        m_progress->setProgress(text(statusText), percent);
}

void QtUserInterface::closeProgress()
{
    delete m_progress;
}

bool QtUserInterface::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return std::exchange(m_quitRequested, false);
}

std::vector<std::string> QtUserInterface::chooseFilesToOpen(const FileDialogRequest& request)
{
    if (m_answers)
        return m_answers->chooseFilesToOpen(request);
    FileRequestDialog dialog(request, FileRequestDialog::Purpose::Open, dialogParent());
    dialog.exec();
    return dialog.chosenPaths();
}

std::string QtUserInterface::chooseFileToSave(const FileDialogRequest& request)
{
    if (m_answers)
        return m_answers->chooseFileToSave(request);
    FileRequestDialog dialog(request, FileRequestDialog::Purpose::Save, dialogParent());
    dialog.exec();
    std::vector<std::string> paths = dialog.chosenPaths();
    return paths.empty() ? std::string() : paths.front();
}

int QtUserInterface::editGeneralOptions(GeneralOptionsValues& values)
{
    if (m_answers)
        return m_answers->editGeneralOptions(values);
    GeneralOptionsDialog dialog(values, m_hooks.viewerProblem, dialogParent());
    if (m_hooks.showHelp)
        QObject::connect(&dialog, &GeneralOptionsDialog::helpRequested, m_hooks.showHelp);
    int result = dialog.exec();
    if (result == DialogResult::Save)
        values = dialog.values();
    return result;
}

int QtUserInterface::editCommandLine(const std::string& message, std::string& commandLine)
{
    if (m_answers)
        return m_answers->editCommandLine(message, commandLine);
    RunFileDialog dialog(message, commandLine, dialogParent());
    if (m_hooks.showHelp)
        QObject::connect(&dialog, &RunFileDialog::helpRequested, m_hooks.showHelp);
    if (dialog.exec() != DialogResult::Ok)
        return DialogResult::Cancel;
    commandLine = dialog.commandLine();
    return DialogResult::Ok;
}

int QtUserInterface::askPassword(const std::string& entryName, std::string& password)
{
    if (m_answers)
        return m_answers->askPassword(entryName, password);
    PasswordDialog dialog(entryName, dialogParent());
    if (dialog.exec() != DialogResult::Ok)
        return DialogResult::Cancel;
    password = dialog.password();
    return DialogResult::Ok;
}

} // namespace quarvo::gui
