// The least a Qt Widgets program does to show a window: Velmor's start-up is measured against it.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(507, 404);
    window.show();
    return QApplication::exec();
}
