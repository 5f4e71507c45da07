#include "app/backends.h"
#include "app/form1.h"
#include "app/graphical_session.h"
#include "app/journal_output.h"
#include "app/qt_message_box.h"
#include "app/running_copy.h"
#include "core/error.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/velmor_topics.h"
#include "platform/posix/termination_signals.h"

#include <QApplication>
#include <QScopeGuard>

#include <csignal>
#include <cstdio>
#include <optional>

int main(int argc, char* argv[]) {
    const velmor::ScreenEnvironment screen{qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"),
                                           qgetenv("QT_QPA_PLATFORM")};
    if (const std::optional<QString> missing = velmor::missingGraphicalSession(screen)) {
        std::fprintf(stderr, "velmor: %s\n", qUtf8Printable(*missing));
        return 1;
    }
    // A write to a peer that has just gone away (libmpdclient's socket does not suppress the signal)
    // must come back as an error, not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    velmor::installJournalOutput();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setDesktopFileName(QStringLiteral("velmor"));
    // The window decides the exit status when it closes, so the last window closing must not.
    QApplication::setQuitOnLastWindowClosed(false);
    // Taken before anything can keep start-up waiting (the session bus, a message box), so that a stop
    // asked for by then still closes the window the ordinary way once it is there.
    velmor::TerminationSignals termination;

    // Before any MQTT connection exists; the links on it end with the window, before the connection.
    // Without MQTT, libmosquitto is never called, and so never loaded.
    std::optional<velmor::MosquittoLibrary> mosquittoLibrary;
    if (velmor::linksGoOverMqtt())
        mosquittoLibrary.emplace();
    std::unique_ptr<velmor::MqttConnection> mqtt;
    try {
        mqtt = velmor::makeMqttConnection();
    } catch (const velmor::Error& e) {
        velmor::QtMessageBox box;
        velmor::Form1::reportFatalError(e, box);
        return 1;
    }

    // Made before the connection first connects, so that its will says "offline" for this copy.
    const std::unique_ptr<velmor::VelmorTopics> topics = velmor::makeVelmorTopics(mqtt.get());
    // Before any link, port or connection other than the broker's opens: a second copy touches nothing.
    const std::unique_ptr<velmor::InstanceGuard> guard = velmor::makeInstanceGuard(mqtt.get());
    bool stopAsked = false;
    QObject::connect(&termination, &velmor::TerminationSignals::received, [&stopAsked] { stopAsked = true; });
    if (velmor::handOverToRunningCopy(*guard, [&stopAsked] { return stopAsked; }))
        return 0;

    auto messageBox = std::make_unique<velmor::QtMessageBox>();
    velmor::QtMessageBox& box = *messageBox;
    velmor::Form1Parts parts = velmor::makeRealParts(std::move(messageBox), mqtt.get());
    velmor::connectTopics(topics.get(), parts);
    velmor::Form1 form(std::move(parts));
    box.setOwner(&form);
    // A wait on the broker keeps the window served; the window goes before the connection does.
    if (mqtt)
        mqtt->setWaitingTurn([&form] { form.serveWhileWaiting(); });
    const auto unserved = qScopeGuard([&mqtt] {
        if (mqtt)
            mqtt->setWaitingTurn({});
    });
    velmor::showWindowOnRequest(*guard, form);
    velmor::connectTopics(topics.get(), form);
    std::optional<int> closedWith;
    QObject::connect(&form, &velmor::Form1::closed, &app, [&](int status) {
        closedWith = status;
        QCoreApplication::exit(status);
    });
    QObject::connect(&termination, &velmor::TerminationSignals::received, &form, &QWidget::close);

    if (const int failure = form.start())
        return failure;
    // The window may already have been closed while start-up waited on a message box.
    if (closedWith)
        return *closedWith;
    return QApplication::exec();
}
