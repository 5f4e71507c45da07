#pragma once

#include "core/error.h"

#include <QtGlobal>

#include <limits>

namespace velmor {

// The old platform's integer conversion: a value that does not fit raises "Overflow".
[[nodiscard]] inline qint16 toInt16(qint64 value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw Error(error_number::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint16>(value);
}

} // namespace velmor
