// The NCID line parser: what kind a line is follows from its first bytes, call fields never hold the
// field mark, and a call written back out the way a server writes it reads back the same.
#include "fuzz/fuzz_support.h"
#include "platform/ncid/ncid_line.h"

namespace {

using velmor::fuzz::require;

QByteArrayView withoutLineEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

velmor::NcidLineKind expectedKind(QByteArrayView line) {
    using Kind = velmor::NcidLineKind;
    line = withoutLineEnd(line);
    if (line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) &&
        (line.size() == 3 || line[3] == ' ')) {
        if (line.first(3) == "300")
            return Kind::EndOfGreeting;
        return line[0] == '2' ? Kind::Greeting : Kind::Other;
    }
    if (line.startsWith("CID:"))
        return Kind::Call;
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.front() != '+' && line.first(colon).endsWith("LOG") &&
        !line.first(colon).contains(' ') && !line.first(colon).contains('\t'))
        return Kind::History;
    return Kind::Other;
}

// A field written back loses what a server cannot carry in one: its "*" and line breaks.
QString carried(const QString& field) {
    QString text = field;
    for (QChar& c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes = velmor::fuzz::bytesOf(data, size);
    const QString shown = QString::fromLatin1(bytes);
    const velmor::NcidLine line = velmor::parseNcidLine(bytes);
    require(line.kind == expectedKind(bytes), "the kind follows from the line's start", shown);
    if (line.kind != velmor::NcidLineKind::Call) {
        require(line.call == velmor::NcidCall{}, "only a call carries fields", shown);
        return 0;
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
    return 0;
}
