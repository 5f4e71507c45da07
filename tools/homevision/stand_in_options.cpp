#include "tools/homevision/stand_in_options.h"

#include <QCommandLineParser>

namespace velmor::homevision {

namespace {

bool readMilliseconds(const QString& text, int& value) {
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok || parsed < 0)
        return false;
    value = parsed;
    return true;
}

} // namespace

ParsedOptions parseStandInOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Acts as HomeVision on the D-Bus session bus (or an MQTT broker): serves the DDE topic HOMEVIS|DDE, "
        "prints every "
        "command and acknowledgement poked to it, acknowledges each command through "
        "DDECommandAcknowledge (\"OK 1\", \"OK 2\", ...), and delivers each line of its input as a "
        "change of DDEMessage once the previous one was acknowledged."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption transcript({QStringLiteral("transcript"), QStringLiteral("json")},
                                        QStringLiteral("Print one JSON object per line instead of text."));
    const QCommandLineOption ackTimeout(QStringLiteral("ack-timeout"),
                                        QStringLiteral("Wait at most <ms> for each message's acknowledgement "
                                                       "(default 10000), then go on."),
                                        QStringLiteral("ms"), QStringLiteral("10000"));
    const QCommandLineOption keepServing(
        QStringLiteral("keep-serving"), QStringLiteral("Serve on after the last message until interrupted."));
    const QCommandLineOption application(
        QStringLiteral("application"), QStringLiteral("Answer as DDE application <name> (default HOMEVIS)."),
        QStringLiteral("name"), QStringLiteral("HOMEVIS"));
    const QCommandLineOption topic(QStringLiteral("topic"),
                                   QStringLiteral("Serve DDE topic <name> (default DDE)."),
                                   QStringLiteral("name"), QStringLiteral("DDE"));
    const QCommandLineOption refuseAdvise(QStringLiteral("refuse-advise"),
                                          QStringLiteral("Refuse to advise <item> (may be repeated)."),
                                          QStringLiteral("item"));
    const QCommandLineOption refusePoke(QStringLiteral("refuse-poke"),
                                        QStringLiteral("Refuse every poke of <item> (may be repeated)."),
                                        QStringLiteral("item"));
    const QCommandLineOption pokeDelay(QStringLiteral("poke-delay"),
                                       QStringLiteral("Acknowledge each poke only after <ms>."),
                                       QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption initiateDelay(QStringLiteral("initiate-delay"),
                                           QStringLiteral("Answer each Initiate only after <ms>."),
                                           QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption mqtt(
        QStringLiteral("mqtt"),
        QStringLiteral("Serve on the MQTT broker <url> (mqtt://[user[:password]@]host[:port] "
                       "or mqtts://...) instead of the session bus. MQTT does not tell who listens: "
                       "messages go out from the client's first poke on."),
        QStringLiteral("url"));
    parser.addOptions({help, transcript, ackTimeout, keepServing, application, topic, refuseAdvise,
                       refusePoke, pokeDelay, initiateDelay, mqtt});
    parser.addPositionalArgument(QStringLiteral("script"),
                                 QStringLiteral("File of messages, one per line (default: standard input)."),
                                 QStringLiteral("[script]"));

    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.outcome = ParsedOptions::Outcome::Invalid;
        parsed.message = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.outcome = ParsedOptions::Outcome::Help;
        parsed.message = parser.helpText();
        return parsed;
    }

    StandInOptions& options = parsed.options;
    QStringList problems;
    if (parser.positionalArguments().size() > 1)
        problems << QStringLiteral("At most one script file is read.");
    else if (!parser.positionalArguments().isEmpty())
        options.scriptFile = parser.positionalArguments().constFirst();
    if (!readMilliseconds(parser.value(ackTimeout), options.ackTimeoutMs))
        problems << QStringLiteral("--ack-timeout takes a number of milliseconds.");
    if (!readMilliseconds(parser.value(pokeDelay), options.quirks.pokeReplyDelayMs))
        problems << QStringLiteral("--poke-delay takes a number of milliseconds.");
    if (!readMilliseconds(parser.value(initiateDelay), options.quirks.initiateReplyDelayMs))
        problems << QStringLiteral("--initiate-delay takes a number of milliseconds.");
    options.format = parser.isSet(transcript) ? Transcript::Format::Json : Transcript::Format::Text;
    options.keepServing = parser.isSet(keepServing);
    options.mqttBroker = parser.value(mqtt);
    options.application = parser.value(application);
    options.topic = parser.value(topic);
    const QStringList advises = parser.values(refuseAdvise);
    const QStringList pokes = parser.values(refusePoke);
    options.quirks.refusedAdvises = QSet<QString>(advises.begin(), advises.end());
    options.quirks.refusedPokes = QSet<QString>(pokes.begin(), pokes.end());

    if (!problems.isEmpty()) {
        parsed.outcome = ParsedOptions::Outcome::Invalid;
        parsed.message = problems.join(QLatin1Char('\n'));
    }
    return parsed;
}

} // namespace velmor::homevision
