#pragma once

// How Velmor reports a failure, in every folder:
// - Where the routines Velmor reproduces raise an error (a link that cannot initiate or poke, a report
//   that cannot be cut, a now-playing file that cannot be written, a start-up setting that is unusable),
//   the code throws velmor::Error with the number they raise. Only runHandler() at the dispatch boundary
//   and start-up and shutdown catch it; a destructor or a library callback never lets one escape.
// - Anything else that can fail says so in its type: std::optional<T> for a value that may be missing;
//   std::variant<T, Problem> for one whose absence the caller must explain (std::expected, before
//   C++23); std::optional<QString> holding the reason for a step that yields nothing; an outcome type
//   where the caller must tell kinds of failure apart (MpdOutcome). Never an empty text, an
//   out-parameter or a bare bool for "it worked"; a bool answers a question ("did it arrive in time?").
// - Return codes (Send_DDE_Command's 0 or -1, SlinkSend's 0 or negative, the hosted controls' 0) exist
//   only because the interfaces Velmor stands in for fix them.
// - An outside library's failures become one of these in one place: ddeLinkError(), takeOutcome(),
//   the MQTT client's libraryError().

#include <QString>

#include <stdexcept>

namespace velmor {

// The one error type the logic raises: a number and a description, the way the window's
// error report and the DDE routines both want to see it.
class Error : public std::runtime_error {
public:
    Error(int number, const QString& description);

    [[nodiscard]] int number() const noexcept { return m_number; }
    [[nodiscard]] const QString& description() const noexcept { return m_description; }

private:
    int m_number;
    QString m_description;
};

namespace error_number {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int PathFileAccess = 75;
inline constexpr int NoApplicationAnswered = 282;
} // namespace error_number

} // namespace velmor
