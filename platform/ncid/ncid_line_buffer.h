#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace velmor {

// The bytes a caller-ID server sent, cut into lines. Real lines are a few hundred bytes; the start of
// a line longer than LongestLine (a server that never ends its line) is let go as it arrives, so that
// it never fills the memory.
class NcidLineBuffer {
public:
    static constexpr qsizetype LongestLine = qsizetype{64} * 1024;

    // Takes bytes as they were read. True when it began letting go of a line too long to keep.
    [[nodiscard]] bool append(const QByteArray& bytes);
    // The next whole line with its LF, valid until the buffer next changes; nothing when none is
    // complete. It may be longer than LongestLine when it arrived in one piece.
    [[nodiscard]] std::optional<QByteArrayView> nextLine();
    // Keeps only the unfinished line, in no more memory than it needs, so that what a flood took is
    // given back.
    void compact();
    void clear();

private:
    // Bytes taken from the socket; those before m_readFrom have been handed out.
    QByteArray m_pending;
    qsizetype m_readFrom = 0;
    bool m_skippingLongLine = false;
};

} // namespace velmor
