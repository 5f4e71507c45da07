#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <iosfwd>

namespace velmor {

// What a line from an NCID server is to a client that only wants live calls.
enum class NcidLineKind {
    Greeting,      // a 2xx status line of the connection's start-up ("200 Server: ...")
    EndOfGreeting, // the 300 line: what follows is live
    History,       // a line of the replayed call log (CIDLOG:, HUPLOG:, MSGLOG:, LOG:, ...)
    Call,          // a live CID: line
    Other,         // anything else, known or not
};

// The labelled fields of a caller-ID line that the telephony control hands on. A missing label and
// the placeholder "-" both read as the empty text.
struct NcidCall {
    QString date;
    QString time;
    QString line;
    QString number;
    QString name;

    friend bool operator==(const NcidCall&, const NcidCall&) = default;
};

struct NcidLine {
    NcidLineKind kind = NcidLineKind::Other;
    NcidCall call; // filled for NcidLineKind::Call only

    friend bool operator==(const NcidLine&, const NcidLine&) = default;
};

// Reads one line as a server sends it, with or without its CR LF or LF. Bytes are taken as UTF-8,
// or as Latin-1 where they are not valid UTF-8 (older modems pass names through untouched).
[[nodiscard]] NcidLine parseNcidLine(QByteArrayView line);

// Writes a caller-ID line of the given type ("CID", "CIDLOG", ...) the way an NCID server does,
// without the line end. Empty fields go out as "-"; a "*" or a line break inside a field would end
// it early and becomes a blank.
[[nodiscard]] QByteArray formatNcidCallLine(QByteArrayView type, const NcidCall& call);

void PrintTo(NcidLineKind kind, std::ostream* out);
void PrintTo(const NcidLine& line, std::ostream* out);

} // namespace velmor
