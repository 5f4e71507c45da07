// velmor-ncid-server: a stand-in NCID (Network Caller ID) server for the demo and the tests.
#include "platform/posix/line_reader.h"
#include "platform/posix/termination_signals.h"
#include "tools/ncid_server/announcement.h"
#include "tools/ncid_server/console.h"
#include "tools/ncid_server/ncid_stand_in_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace velmor::ncidserver;

namespace {

struct Options {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 3333;
    double everySeconds = 0;
    bool stay = false;
    bool crLf = false;
};

std::optional<Options> readOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A stand-in NCID caller-ID server. Each client is greeted and replayed a short call log; then\n"
        "every line of standard input announces a live call to all clients:\n"
        "  NUMBER NAME...   a call from NUMBER (\"-\" for no number); NAME defaults to NO NAME\n"
        "  >TEXT            TEXT sent as it stands\n"
        "  !flood COUNT     COUNT calls at once, numbered from 1 (a caller-ID flood)\n"
        "The server ends at the end of its input (unless --stay) and on SIGINT, SIGTERM or SIGHUP."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("TCP port to listen on; 0 picks a free one."),
                                  QStringLiteral("port"), QStringLiteral("3333"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                     QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption every(QStringLiteral("every"),
                                   QStringLiteral("Also announce a made-up call every so many seconds."),
                                   QStringLiteral("seconds"));
    const QCommandLineOption stay(QStringLiteral("stay"),
                                  QStringLiteral("Keep serving after the end of input."));
    const QCommandLineOption crLf(QStringLiteral("crlf"),
                                  QStringLiteral("End lines with CR LF instead of LF."));
    parser.addOptions({port, address, every, stay, crLf});
    parser.process(app);

    Options options;
    bool ok = false;
    const uint portNumber = parser.value(port).toUInt(&ok);
    if (!ok || portNumber > 65535) {
        say(QStringLiteral("--port wants a number from 0 to 65535"));
        return std::nullopt;
    }
    options.port = static_cast<quint16>(portNumber);
    if (!options.address.setAddress(parser.value(address))) {
        say(QStringLiteral("--address wants an IP address"));
        return std::nullopt;
    }
    if (parser.isSet(every)) {
        options.everySeconds = parser.value(every).toDouble(&ok);
        if (!ok || options.everySeconds < 0.01 || options.everySeconds > 86400) {
            say(QStringLiteral("--every wants a number of seconds from 0.01 to 86400"));
            return std::nullopt;
        }
    }
    options.stay = parser.isSet(stay);
    options.crLf = parser.isSet(crLf);
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmor-ncid-server"));
    // A reader of our output that went away must not end us before we close our clients.
    std::signal(SIGPIPE, SIG_IGN);

    const std::optional<Options> options = readOptions(app);
    if (!options)
        return 2;

    NcidStandInServer server(options->crLf);
    if (!server.listen(options->address, options->port))
        return 1;
    QObject::connect(&server, &NcidStandInServer::finished, &app, &QCoreApplication::quit);

    velmor::TerminationSignals signals;
    QObject::connect(&signals, &velmor::TerminationSignals::received, &server, [&server](int number) {
        say(QStringLiteral("stopping on signal %1").arg(number));
        server.shutDown();
    });

    velmor::LineReader input(STDIN_FILENO);
    QObject::connect(&input, &velmor::LineReader::lineRead, &server, [&server](const QString& line) {
        if (const auto count = floodCount(line)) {
            if (*count == 0)
                say(QStringLiteral("!flood wants a count from 1 to %1").arg(MostFloodCalls));
            else
                server.flood(floodLines(*count, QDateTime::currentDateTime()));
            return;
        }
        if (const auto sent = lineForInput(line, QDateTime::currentDateTime()))
            server.announce(*sent);
    });
    QObject::connect(&input, &velmor::LineReader::ended, &server, [&server, stay = options->stay] {
        if (stay) {
            say(QStringLiteral("end of input; serving on"));
            return;
        }
        say(QStringLiteral("end of input; stopping"));
        server.shutDown();
    });

    QTimer timer;
    int turn = 0;
    if (options->everySeconds > 0) {
        QObject::connect(&timer, &QTimer::timeout, &server, [&server, &turn] {
            server.announce(sampleCallLine(turn++, QDateTime::currentDateTime()));
        });
        timer.start(qRound(options->everySeconds * 1000));
    }

    return QCoreApplication::exec();
}
