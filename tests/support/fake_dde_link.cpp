#include "tests/support/fake_dde_link.h"

#include "core/error.h"

namespace velmor::test {

void FakeDdeLink::setLinkTopic(const QString& topic) {
    m_topic = topic;
}

void FakeDdeLink::setLinkItem(const QString& item) {
    m_item = item;
}

void FakeDdeLink::setLinkMode(int mode) {
    m_log.add(QStringLiteral("%1 %2 mode %3").arg(m_topic, m_item).arg(mode));
    if (onMode)
        onMode(mode);
    if (m_modeFailure)
        throw Error(*m_modeFailure, QStringLiteral("link refused"));
    m_mode = mode;
}

void FakeDdeLink::poke(const QString& value) {
    m_log.add(QStringLiteral("%1 poke %2").arg(m_item, value));
    if (m_mode == None)
        throw Error(286, QStringLiteral("no link"));
    if (m_pokeFailure)
        throw Error(*m_pokeFailure, QStringLiteral("poke refused"));
}

} // namespace velmor::test
