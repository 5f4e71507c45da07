#include "platform/offline/offline_dde_link.h"

#include "core/error.h"

namespace velmor {

void OfflineDdeLink::setLinkTopic(const QString& topic) {
    m_topic = topic;
}

void OfflineDdeLink::setLinkItem(const QString& item) {
    m_item = item;
}

void OfflineDdeLink::setLinkMode(int mode) {
    if (mode != None)
        throw Error(error_number::NoApplicationAnswered,
                    QStringLiteral("No application answered for %1").arg(m_topic));
}

void OfflineDdeLink::poke(const QString& /*value*/) {
    throw Error(286, QStringLiteral("No link is open for %1").arg(m_item));
}

} // namespace velmor
