#include "gui/app/ZipApplication.h"
#include "gui/launch/DesktopLaunchServices.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvo"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    quarvo::gui::StartupEnvironment environment;
    environment.arguments = QApplication::arguments().mid(1);
    environment.executablePath = QApplication::applicationFilePath();
    quarvo::gui::ZipApplication zipApplication(std::move(environment), quarvo::gui::builtInDocumentKindBindings(),
                                               nullptr, std::make_unique<quarvo::gui::DesktopLaunchServices>());
    if (std::optional<int> exitCode = zipApplication.start())
        return *exitCode;
    QApplication::exec();
    return zipApplication.finish();
}
