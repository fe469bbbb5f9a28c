// quarvo-viewer FILE: shows a file read-only, as text, image or hex dump. The archive manager starts
// it as its default viewer for entries the user views.

#include "viewer/PagedFile.h"
#include "viewer/ViewerWindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvo Viewer"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVO_VERSION));

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != 1) {
        std::fputs("usage: quarvo-viewer FILE\n", stderr);
        return 2;
    }
    const QString& path = arguments.front();
    auto file = quarvo::viewer::PagedFile::open(path);
    if (!file) {
        QMessageBox::critical(nullptr, QStringLiteral("Quarvo Viewer"),
                              QStringLiteral("Cannot open \"%1\":\n%2.").arg(path, file.error()));
        return 1;
    }
    quarvo::viewer::ViewerWindow window(std::move(*file));
    window.show();
    return QApplication::exec();
}
