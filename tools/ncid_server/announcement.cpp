#include "tools/ncid_server/announcement.h"

#include "telephony/ncid_line.h"

#include <QRegularExpression>

namespace velmor::ncidserver {

namespace {

QByteArray callLine(const QString& number, const QString& name, const QDateTime& now) {
    NcidCall call;
    call.date = now.toString(QStringLiteral("MMddyyyy"));
    call.time = now.toString(QStringLiteral("hhmm"));
    call.line = QStringLiteral("POTS");
    call.number = number;
    call.name = name.isEmpty() ? QStringLiteral("NO NAME") : name;
    return formatNcidCallLine("CID", call);
}

} // namespace

std::optional<QByteArray> lineForInput(const QString& input, const QDateTime& now) {
    if (input.startsWith(QLatin1Char('>')))
        return input.mid(1).toUtf8();
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString number = blank < 0 ? text : text.left(blank);
    const QString name = blank < 0 ? QString() : text.mid(blank).trimmed();
    return callLine(number, name, now);
}

QByteArray sampleCallLine(int turn, const QDateTime& now) {
    struct Caller {
        const char* number;
        const char* name;
    };
    static constexpr Caller Callers[] = {
        {"5555550123", "JOHN Q PUBLIC"},
        {"-", "OUT-OF-AREA"},
        {"8005550100", "NO NAME"},
        {"5555550188", "MARY EXAMPLE"},
    };
    const Caller& caller = Callers[turn % std::size(Callers)];
    return callLine(QLatin1String(caller.number), QLatin1String(caller.name), now);
}

std::optional<qint64> floodCount(const QString& input) {
    static const QString Command = QStringLiteral("!flood");
    const QString text = input.trimmed();
    if (!text.startsWith(Command) || (text.size() > Command.size() && !text.at(Command.size()).isSpace()))
        return std::nullopt;
    bool ok = false;
    const qint64 count = text.mid(Command.size()).trimmed().toLongLong(&ok);
    return ok && count >= 1 && count <= MostFloodCalls ? count : 0;
}

QByteArrayList floodLines(qint64 count, const QDateTime& now) {
    QByteArrayList lines;
    lines.reserve(count);
    for (qint64 n = 1; n <= count; ++n)
        lines.append(callLine(QString::number(n), QStringLiteral("FLOOD CALL"), now));
    return lines;
}

} // namespace velmor::ncidserver
