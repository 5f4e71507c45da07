#include "app/backends.h"
#include "app/form1.h"
#include "app/qt_message_box.h"
#include "core/error.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/velmor_topics.h"
#include "platform/posix/termination_signals.h"

#include <QApplication>

#include <optional>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setDesktopFileName(QStringLiteral("velmor"));
    // The window decides the exit status when it closes, so the last window closing must not.
    QApplication::setQuitOnLastWindowClosed(false);

    // Before any MQTT connection exists; the links on it end with the window, before the connection.
    const velmor::MosquittoLibrary mosquittoLibrary;
    std::unique_ptr<velmor::MqttConnection> mqtt;
    try {
        mqtt = velmor::makeMqttConnection();
    } catch (const velmor::Error& e) {
        qWarning("Velmor stops: error %d: %s", e.number(), qUtf8Printable(e.description()));
        velmor::QtMessageBox().show(velmor::Form1::fatalErrorText(e));
        return 1;
    }

    // Made before the connection first connects, so that its will says "offline" for this copy.
    std::unique_ptr<velmor::VelmorTopics> topics;
    if (mqtt)
        topics = std::make_unique<velmor::VelmorTopics>(*mqtt);
    // Before any link, port or connection other than the broker's opens: a second copy touches nothing.
    if (const auto guard = velmor::makeInstanceGuard(mqtt.get());
        guard && guard->claim() == velmor::InstanceGuard::Claim::Taken) {
        qInfo("Velmor already runs on %s; this copy ends", qUtf8Printable(guard->place()));
        return 0;
    }

    auto messageBox = std::make_unique<velmor::QtMessageBox>();
    velmor::QtMessageBox& box = *messageBox;
    velmor::Form1Parts parts = velmor::makeRealParts(std::move(messageBox), mqtt.get());
    parts.nowPlayingObserver = topics.get();
    parts.callObserver = topics.get();
    velmor::Form1 form(std::move(parts));
    box.setOwner(&form);
    if (topics) {
        QObject::connect(topics.get(), &velmor::VelmorTopics::jukeboxCommandReceived, &form,
                         &velmor::Form1::sendJukeboxCommand);
    }
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
