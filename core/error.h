#pragma once

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
