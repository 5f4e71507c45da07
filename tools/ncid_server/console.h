#pragma once

#include <QString>

namespace velmor::ncidserver {

// One line on standard output, at once: the tests and the user follow the server through it.
void say(const QString& line);

} // namespace velmor::ncidserver
