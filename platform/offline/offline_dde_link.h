#pragma once

#include "hvlink/dde_link.h"

namespace velmor {

// A DDE client with no server anywhere: every conversation fails as if HomeVision were not running.
class OfflineDdeLink : public DdeLink {
    Q_OBJECT
public:
    using DdeLink::DdeLink;

    void setLinkTopic(const QString& topic) override;
    void setLinkItem(const QString& item) override;
    void setLinkMode(int mode) override;
    void poke(const QString& value) override;

private:
    QString m_topic;
    QString m_item;
};

} // namespace velmor
