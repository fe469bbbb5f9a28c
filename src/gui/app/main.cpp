#include "gui/app/DesktopIntegration.h"
#include "gui/app/ZipApplication.h"
#include "gui/launch/DesktopLaunchServices.h"

#include <QApplication>

#include <string_view>

int main(int argc, char** argv)
{
    // Undoing the registration needs no window: it works without a display too (over ssh, from a
    // package script).
    if (argc == 2 && std::string_view(argv[1]) == "--unregister")
        return quarvo::gui::unregisterFromDesktopAndReport();
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
