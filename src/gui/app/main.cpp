#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quarvo");
    QMainWindow window;
    window.setWindowTitle("Quarvo");
    window.resize(800, 560);
    window.show();
    return QApplication::exec();
}
