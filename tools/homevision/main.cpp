#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_broker_address.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/posix/line_reader.h"
#include "platform/posix/termination_signals.h"
#include "tools/homevision/dde_topic_server.h"
#include "tools/homevision/homevision_stand_in.h"
#include "tools/homevision/mqtt_topic_server.h"
#include "tools/homevision/stand_in_options.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace velmor::homevision;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Before anything opens the bus, which starts a thread of its own.
    velmor::TerminationSignals terminationSignals;

    const ParsedOptions parsed = parseStandInOptions(QCoreApplication::arguments());
    if (parsed.outcome == ParsedOptions::Outcome::Help) {
        std::fputs(qUtf8Printable(parsed.message), stdout);
        return 0;
    }
    if (parsed.outcome == ParsedOptions::Outcome::Invalid) {
        std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(parsed.message));
        return 2;
    }
    const StandInOptions& options = parsed.options;

    QStringList script;
    if (!options.scriptFile.isEmpty()) {
        QFile file(options.scriptFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "velmor-homevision: cannot read %s: %s\n",
                         qUtf8Printable(options.scriptFile), qUtf8Printable(file.errorString()));
            return 1;
        }
        script = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        // A final line end ends the last line; it does not start an empty one.
        if (!script.isEmpty() && script.constLast().isEmpty())
            script.removeLast();
    }

    // The endpoint is the carrier; it ends after the stand-in, and the broker connection after both.
    const velmor::MosquittoLibrary mosquittoLibrary;
    std::unique_ptr<velmor::MqttConnection> mqtt;
    std::unique_ptr<TopicEndpoint> endpoint;
    if (options.mqttBroker.isEmpty()) {
        auto server = std::make_unique<DdeTopicServer>(options.quirks);
        if (const auto error =
                server->serve(QDBusConnection::sessionBus(), options.application, options.topic)) {
            std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(*error));
            return 1;
        }
        endpoint = std::move(server);
    } else {
        velmor::MqttAddressParse broker = velmor::parseMqttBrokerAddress(options.mqttBroker);
        if (const auto* problem = std::get_if<velmor::MqttAddressProblem>(&broker)) {
            std::fprintf(stderr, "velmor-homevision: --mqtt: %s\n", qUtf8Printable(problem->text));
            return 2;
        }
        mqtt = std::make_unique<velmor::MqttConnection>(
            std::get<velmor::MqttBrokerAddress>(std::move(broker)), QStringLiteral("homevision"));
        auto server = std::make_unique<MqttTopicServer>(*mqtt, options.application, options.topic);
        if (const auto error = server->serve()) {
            std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(*error));
            return 1;
        }
        mqtt->start();
        endpoint = std::move(server);
    }
    HomeVisionStandIn standIn(options, *endpoint);

    QObject::connect(&terminationSignals, &velmor::TerminationSignals::received, &app, [](int signalNumber) {
        std::fprintf(stderr, "velmor-homevision: ending on signal %d\n", signalNumber);
        QCoreApplication::exit(0);
    });
    // Queued: an empty script finishes before the event loop runs, and exit() only ends a running loop.
    if (!options.keepServing) {
        QObject::connect(
            &standIn, &HomeVisionStandIn::finished, &app, [] { QCoreApplication::exit(0); },
            Qt::QueuedConnection);
    }

    std::unique_ptr<velmor::LineReader> standardInput;
    if (options.scriptFile.isEmpty()) {
        standardInput = std::make_unique<velmor::LineReader>(STDIN_FILENO);
        QObject::connect(standardInput.get(), &velmor::LineReader::lineRead, &standIn,
                         &HomeVisionStandIn::addMessage);
        QObject::connect(standardInput.get(), &velmor::LineReader::ended, &standIn,
                         &HomeVisionStandIn::endOfInput);
    } else {
        for (const QString& line : script)
            standIn.addMessage(line);
        standIn.endOfInput();
    }
    return QCoreApplication::exec();
}
