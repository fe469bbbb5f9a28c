#include "gui/app/ManualLocation.h"

#include "core/layout/InstallLayout.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quarvo::gui {

QString manualPath(const QString& programDirectory)
{
    const QStringList directories{
        QString::fromStdString(installedPath(programDirectory.toStdString(), InstallLayout::documentationDirectory())),
        QStringLiteral(QUARVO_SOURCE_DIR "/docs"),
        QStringLiteral(QUARVO_SOURCE_DIR),
    };
    for (const QString& directory : directories) {
        for (const QString& name : {QStringLiteral("MANUAL.md"), QStringLiteral("README.md")}) {
            QFileInfo candidate(QDir(directory).filePath(name));
            if (candidate.isFile())
                return candidate.canonicalFilePath();
        }
    }
    return {};
}

bool openManual(const QString& programDirectory)
{
    QString path = manualPath(programDirectory);
    return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace quarvo::gui
