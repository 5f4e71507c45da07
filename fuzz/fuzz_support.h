#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace velmor::fuzz {

// The fuzzer's bytes as text: each byte is the Latin-1 character of the same number, except 0xFF,
// which takes the next two bytes as one UTF-16 code unit (high byte first). Plain keywords stay
// readable in corpora and dictionaries while any code unit, a lone surrogate included, is reachable.
[[nodiscard]] QString textOf(QByteArrayView bytes);

[[nodiscard]] QByteArrayView bytesOf(const std::uint8_t* data, std::size_t size);

// The input cut at every NUL byte, for targets that feed a sequence of events to one object.
[[nodiscard]] QList<QByteArrayView> eventsOf(QByteArrayView bytes);

// A broken invariant: reports it with the input's text on stderr and aborts, so libFuzzer keeps the
// input as a crash.
[[noreturn]] void fail(const char* invariant, const QString& input);

inline void require(bool holds, const char* invariant, const QString& input) {
    if (!holds)
        fail(invariant, input);
}

} // namespace velmor::fuzz
