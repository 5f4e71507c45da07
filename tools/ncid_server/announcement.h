#pragma once

#include <QByteArray>
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

} // namespace velmor::ncidserver
