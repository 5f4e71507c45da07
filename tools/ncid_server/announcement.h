#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QString>

#include <optional>

namespace velmor::ncidserver {

// What one line of input asks the server to send:
//   "NUMBER NAME..."  a live call from NUMBER ("-" for none) with the rest of the line as the name
//                     ("NO NAME" when there is none), dated now;
//   ">TEXT"           TEXT exactly as it stands, for lines a real server might send;
//   blank             nothing.
[[nodiscard]] std::optional<QByteArray> lineForInput(const QString& input, const QDateTime& now);

// The live call line of a made-up caller, for the timer: callers take turns.
[[nodiscard]] QByteArray sampleCallLine(int turn, const QDateTime& now);

// "!flood COUNT" asks for COUNT live calls at once, their numbers counting from 1 in the order sent,
// so that a client can tell a call that went missing or came out of turn. Returns the count, 0 when
// it is not a number from 1 to MostFloodCalls, and nothing for any other input.
constexpr qint64 MostFloodCalls = 10'000'000;
[[nodiscard]] std::optional<qint64> floodCount(const QString& input);
[[nodiscard]] QByteArrayList floodLines(qint64 count, const QDateTime& now);

} // namespace velmor::ncidserver
