// The NCID line parser against the stand-in server's formatter: call fields never hold the field
// mark, a call written back out the way a server writes it reads back the same, and the line the
// stand-in announces for a caller typed on its console reads back as that caller.
#include "fuzz/fuzz_support.h"
#include "telephony/ncid_line.h"
#include "tools/ncid_server/announcement.h"

namespace {

using velmor::fuzz::require;

// A field written back loses what a server cannot carry in one: its "*" and line breaks.
QString carried(const QString& field) {
    QString text = field;
    for (QChar& c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

// What a field reads back as: "-" stands for an empty one.
QString readBack(const QString& field) {
    const QString text = carried(field);
    return text == QLatin1String("-") ? QString() : text;
}

void checkAnyLine(QByteArrayView bytes, const QString& shown) {
    const velmor::NcidLine line = velmor::parseNcidLine(bytes);
    if (line.kind != velmor::NcidLineKind::Call) {
        require(line.call == velmor::NcidCall{}, "only a call carries fields", shown);
        return;
    }
    const velmor::NcidCall& call = line.call;
    for (const QString* f : {&call.date, &call.time, &call.line, &call.number, &call.name}) {
        require(!f->contains(QLatin1Char('*')), "no field holds the field mark", shown);
        require(*f != QLatin1String("-"), "the placeholder reads as empty", shown);
    }
    const velmor::NcidCall expected{carried(call.date), carried(call.time), carried(call.line),
                                    carried(call.number), carried(call.name)};
    const velmor::NcidLine again = velmor::parseNcidLine(velmor::formatNcidCallLine("CID", call) + "\r\n");
    require(again.kind == velmor::NcidLineKind::Call && again.call == expected,
            "a call written back reads back the same", shown);
}

bool isNumberByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '+' || c == '#';
}

// A caller typed on the stand-in server's console, "NUMBER NAME": the input's leading digits and
// letters are the number, the rest of its first line the name.
void checkAnnouncement(QByteArrayView bytes) {
    qsizetype end = 0;
    while (end < bytes.size() && isNumberByte(bytes[end]))
        ++end;
    if (end == 0)
        return;
    const QString number = QString::fromLatin1(bytes.first(end));
    QString name = QString::fromUtf8(bytes.sliced(end));
    name.truncate(name.indexOf(QLatin1Char('\n')));
    name.truncate(name.indexOf(QLatin1Char('\r')));
    name = name.trimmed();
    const QString input = number + QLatin1Char(' ') + name;

    static const QDateTime Now(QDate(2024, 3, 14), QTime(9, 12));
    const std::optional<QByteArray> announced = velmor::ncidserver::lineForInput(input, Now);
    require(announced.has_value(), "a caller is announced", input);
    const velmor::NcidLine line = velmor::parseNcidLine(*announced + '\n');
    require(line.kind == velmor::NcidLineKind::Call, "an announcement is a call", input);
    require(line.call.number == readBack(number), "the number reads back as typed", input);
    require(line.call.name == readBack(name.isEmpty() ? QStringLiteral("NO NAME") : name),
            "the name reads back as typed", input);
    require(line.call.date == QLatin1String("03142024") && line.call.time == QLatin1String("0912"),
            "the call is dated when it is announced", input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes = velmor::fuzz::bytesOf(data, size);
    checkAnyLine(bytes, QString::fromLatin1(bytes));
    checkAnnouncement(bytes);
    return 0;
}
