#include "telephony/ncid_line.h"

#include <QList>
#include <QStringDecoder>
#include <QStringView>

#include <array>
#include <iterator>
#include <optional>
#include <ostream>

namespace velmor {

namespace {

QString decode(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

QByteArrayView withoutLineEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "NNN" or "NNN text": the numbered status lines of the start-up.
std::optional<int> statusCode(QByteArrayView line) {
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return std::nullopt;
    if (line.size() > 3 && line[3] != ' ')
        return std::nullopt;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// The labels of a call line and where each one's value goes.
struct CallField {
    QLatin1String label;
    QString NcidCall::*text;
};

constexpr CallField CallFields[] = {
    {QLatin1String("DATE"), &NcidCall::date}, {QLatin1String("TIME"), &NcidCall::time},
    {QLatin1String("LINE"), &NcidCall::line}, {QLatin1String("NMBR"), &NcidCall::number},
    {QLatin1String("NAME"), &NcidCall::name},
};

QString fieldValue(QStringView value) {
    if (value == QLatin1String("-"))
        return {};
    return value.toString();
}

// The field pairs "*LABEL*value*LABEL*value*...", led by "*" or "***". Labels may come in any order;
// the first of a repeated label counts and unknown ones are skipped.
NcidCall readCallFields(QStringView fields) {
    fields = fields.trimmed();
    while (fields.startsWith(QLatin1Char('*')))
        fields = fields.mid(1);

    NcidCall call;
    std::array<bool, std::size(CallFields)> seen{};
    const auto parts = fields.split(QLatin1Char('*'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        for (std::size_t f = 0; f < std::size(CallFields); ++f) {
            if (!seen[f] && parts[i] == CallFields[f].label) {
                call.*CallFields[f].text = fieldValue(parts[i + 1]);
                seen[f] = true;
            }
        }
    }
    return call;
}

QByteArray fieldText(const QString& value) {
    if (value.isEmpty())
        return QByteArrayLiteral("-");
    QByteArray text = value.toUtf8();
    for (char& c : text) {
        if (c == '*' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

NcidLine parseNcidLine(QByteArrayView raw) {
    const QByteArrayView bytes = withoutLineEnd(raw);
    // Lines from other servers relayed through this one are not ours to announce.
    if (bytes.isEmpty() || bytes.front() == '+')
        return {};

    if (const auto code = statusCode(bytes)) {
        if (*code == 300)
            return {NcidLineKind::EndOfGreeting, {}};
        if (*code >= 200 && *code < 300)
            return {NcidLineKind::Greeting, {}};
        return {};
    }

    const qsizetype colon = bytes.indexOf(':');
    if (colon <= 0)
        return {};
    const QByteArrayView type = bytes.first(colon);
    if (type.contains(' ') || type.contains('\t'))
        return {};

    if (type == "CID") {
        const QString text = decode(bytes.sliced(colon + 1));
        return {NcidLineKind::Call, readCallFields(text)};
    }
    if (type.endsWith("LOG"))
        return {NcidLineKind::History, {}};
    return {};
}

QByteArray formatNcidCallLine(QByteArrayView type, const NcidCall& call) {
    QByteArray line = type.toByteArray();
    line += ": *DATE*" + fieldText(call.date) + "*TIME*" + fieldText(call.time) + "*LINE*" +
            fieldText(call.line) + "*NMBR*" + fieldText(call.number) + "*MESG*NONE*NAME*" +
            fieldText(call.name) + '*';
    return line;
}

void PrintTo(NcidLineKind kind, std::ostream* out) {
    switch (kind) {
    case NcidLineKind::Greeting:
        *out << "Greeting";
        return;
    case NcidLineKind::EndOfGreeting:
        *out << "EndOfGreeting";
        return;
    case NcidLineKind::History:
        *out << "History";
        return;
    case NcidLineKind::Call:
        *out << "Call";
        return;
    case NcidLineKind::Other:
        *out << "Other";
        return;
    }
    *out << "NcidLineKind(" << static_cast<int>(kind) << ')';
}

void PrintTo(const NcidLine& line, std::ostream* out) {
    PrintTo(line.kind, out);
    if (line.kind == NcidLineKind::Call) {
        const NcidCall& c = line.call;
        *out << " {DATE \"" << c.date.toStdString() << "\", TIME \"" << c.time.toStdString() << "\", LINE \""
             << c.line.toStdString() << "\", NMBR \"" << c.number.toStdString() << "\", NAME \""
             << c.name.toStdString() << "\"}";
    }
}

} // namespace velmor
