// bare-window: an empty Qt Widgets main window with a menu bar and a status
// bar, the reference for the program's start-up time and memory. Once the
// window is shown it writes the two bytes 01 00 to the file named by
// KOVA_HANDSHAKE_FILE, as the program does in command-line mode, and then
// keeps running until it is ended.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.statusBar()->showMessage(QStringLiteral("Not Communicating...."));
    window.resize(640, 480);
    window.show();
    const QString path = qEnvironmentVariable("KOVA_HANDSHAKE_FILE");
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::WriteOnly)) {
        file.write("\x01\x00", 2);
        file.close();
    }
    return app.exec();
}
