#include "core/error.h"

namespace velmor {

Error::Error(int number, const QString& description)
    : std::runtime_error(QStringLiteral("%1: %2").arg(number).arg(description).toStdString())
    , m_number(number)
    , m_description(description) {}

} // namespace velmor
