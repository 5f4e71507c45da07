#include "platform/ncid/ncid_line_buffer.h"

namespace velmor {

bool NcidLineBuffer::append(const QByteArray& bytes) {
    // Every whole line has been handed out: what is left is the start of the next one.
    m_pending.remove(0, m_readFrom);
    m_readFrom = 0;
    m_pending += bytes;
    if (m_skippingLongLine) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end < 0) {
            m_pending.clear();
            return false;
        }
        m_pending.remove(0, end + 1);
        m_skippingLongLine = false;
    }
    if (m_pending.size() > LongestLine && !m_pending.contains('\n')) {
        m_pending.clear();
        m_skippingLongLine = true;
        return true;
    }
    return false;
}

std::optional<QByteArrayView> NcidLineBuffer::nextLine() {
    const qsizetype end = m_pending.indexOf('\n', m_readFrom);
    if (end < 0)
        return std::nullopt;
    const QByteArrayView line = QByteArrayView(m_pending).sliced(m_readFrom, end + 1 - m_readFrom);
    m_readFrom = end + 1;
    return line;
}

void NcidLineBuffer::compact() {
    m_pending.remove(0, m_readFrom);
    m_readFrom = 0;
    if (m_pending.isEmpty())
        m_pending.clear();
    else
        m_pending.squeeze();
}

void NcidLineBuffer::clear() {
    m_pending.clear();
    m_readFrom = 0;
    m_skippingLongLine = false;
}

} // namespace velmor
