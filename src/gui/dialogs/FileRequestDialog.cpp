#include "gui/dialogs/FileRequestDialog.h"

namespace quarvo::gui {

QString nameFilterText(const FileDialogFilter& filter)
{
    const QString description = QString::fromStdString(filter.description);
    QStringList patterns;
    for (const std::string& pattern : filter.patterns)
        patterns << QString::fromStdString(pattern);
    const bool namesItsPatterns =
        description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')'));
    if (patterns.isEmpty() || namesItsPatterns) {
        // Qt takes the patterns from the parentheses; give it ours when they read differently.
        if (patterns.isEmpty())
            return description;
        return description.left(description.lastIndexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (") +
               patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

FileRequestDialog::FileRequestDialog(const FileDialogRequest& request, Purpose purpose, QWidget* parent)
    : QFileDialog(parent)
{
    // The widget-based dialog on every platform: the same controls for the user and for the tests.
    setOption(QFileDialog::DontUseNativeDialog);
    setWindowTitle(QString::fromStdString(request.title));
    setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    QStringList filters;
    for (const FileDialogFilter& filter : request.filters)
        filters << nameFilterText(filter);
    if (!filters.isEmpty())
        setNameFilters(filters);
    if (purpose == Purpose::Open) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(request.allowMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }
    if (!request.initialDirectory.empty())
        setDirectory(QString::fromStdString(request.initialDirectory));
    if (!request.fileName.empty())
        selectFile(QString::fromStdString(request.fileName));
    if (!request.defaultExtension.empty())
        setDefaultSuffix(QString::fromStdString(request.defaultExtension));
}

std::vector<std::string> FileRequestDialog::chosenPaths() const
{
    std::vector<std::string> paths;
    if (result() != QDialog::Accepted)
        return paths;
    for (const QString& path : selectedFiles())
        paths.push_back(path.toStdString());
    return paths;
}

} // namespace quarvo::gui
