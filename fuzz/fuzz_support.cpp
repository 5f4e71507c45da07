#include "fuzz/fuzz_support.h"

#include "core/handler_guard.h"

#include <cstdio>
#include <cstdlib>

namespace velmor::fuzz {

QString textOf(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b != 0xFF) {
            text.append(QChar(static_cast<char16_t>(b)));
            continue;
        }
        if (i + 2 >= bytes.size())
            break;
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        const auto low = static_cast<unsigned char>(bytes[i + 2]);
        text.append(QChar(static_cast<char16_t>(high << 8 | low)));
        i += 2;
    }
    return text;
}

QByteArrayView bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)};
}

QList<QByteArrayView> eventsOf(QByteArrayView bytes) {
    QList<QByteArrayView> events;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\0') {
            events.append(bytes.sliced(start, i - start));
            start = i + 1;
        }
    }
    return events;
}

void fail(const char* invariant, const QString& input) {
    std::fprintf(stderr, "invariant broken: %s\ninput: \"%s\"\n", invariant,
                 qUtf8Printable(shortenedForReport(input, 400)));
    std::abort();
}

} // namespace velmor::fuzz
