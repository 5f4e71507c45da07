#include "tools/ncid_server/console.h"

#include <cstdio>

namespace velmor::ncidserver {

void say(const QString& line) {
    const QByteArray text = line.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
}

} // namespace velmor::ncidserver
