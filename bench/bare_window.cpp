// The least a Qt Widgets program does to show a window: Velmor's start-up is measured against it.
// With --label the window also shows a line of text, so that the fonts are loaded before it is shown,
// as they are for any window that shows text.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(507, 404);
    if (QApplication::arguments().contains(QStringLiteral("--label"))) {
        auto* label = new QLabel(QStringLiteral("No message from HomeVision"), &window);
        label->move(8, 8);
    }
    window.show();
    return QApplication::exec();
}
