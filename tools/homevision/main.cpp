#include "platform/posix/line_reader.h"
#include "platform/posix/termination_signals.h"
#include "tools/homevision/homevision_stand_in.h"
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

    HomeVisionStandIn standIn(options);
    QString error;
    if (!standIn.serve(QDBusConnection::sessionBus(), error)) {
        std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(error));
        return 1;
    }

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
