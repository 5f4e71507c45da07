#include "app/backends.h"
#include "app/form1.h"
#include "app/qt_message_box.h"
#include "platform/posix/termination_signals.h"

#include <QApplication>

#include <csignal>
#include <optional>

int main(int argc, char* argv[]) {
    // A write to a peer that has just gone away (libmpdclient's socket does not suppress the signal)
    // must come back as an error, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setDesktopFileName(QStringLiteral("velmor"));
    // The window decides the exit status when it closes, so the last window closing must not.
    QApplication::setQuitOnLastWindowClosed(false);

    auto messageBox = std::make_unique<velmor::QtMessageBox>();
    velmor::QtMessageBox& box = *messageBox;
    velmor::Form1 form(velmor::makeRealParts(std::move(messageBox)));
    box.setOwner(&form);
    std::optional<int> closedWith;
    QObject::connect(&form, &velmor::Form1::closed, &app, [&](int status) {
        closedWith = status;
        QCoreApplication::exit(status);
    });
    velmor::TerminationSignals termination;
    QObject::connect(&termination, &velmor::TerminationSignals::received, &form, &QWidget::close);

    if (const int failure = form.start())
        return failure;
    // The window may already have been closed while start-up waited on a message box.
    if (closedWith)
        return *closedWith;
    return QApplication::exec();
}
