#include "app/backends.h"
#include "app/form1.h"
#include "app/qt_message_box.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setDesktopFileName(QStringLiteral("velmor"));
    // The window decides the exit status when it closes, so the last window closing must not.
    QApplication::setQuitOnLastWindowClosed(false);

    auto messageBox = std::make_unique<velmor::QtMessageBox>();
    velmor::QtMessageBox& box = *messageBox;
    velmor::Form1 form(velmor::makeRealParts(std::move(messageBox)));
    box.setOwner(&form);
    QObject::connect(&form, &velmor::Form1::closed, &app, &QCoreApplication::exit);

    if (const int failure = form.start())
        return failure;
    return QApplication::exec();
}
