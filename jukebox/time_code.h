#pragma once

#include <QString>

namespace velmor {

// A minutes or seconds pair as HomeVision wants it: the first two characters read as a decimal number
// (leading blanks skipped, reading stops at the first non-digit, no digits read as 0), written in
// capital hexadecimal with at least two characters. "12" gives "0C", " 5" gives "05", "-5" gives "00".
[[nodiscard]] QString timeCode(const QString& pair);

} // namespace velmor
