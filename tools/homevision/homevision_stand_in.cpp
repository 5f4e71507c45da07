#include "tools/homevision/homevision_stand_in.h"

#include "hvlink/dde_items.h"

#include <cstdio>

namespace velmor::homevision {

namespace {

void note(const QString& text) {
    std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(text));
}

} // namespace

HomeVisionStandIn::HomeVisionStandIn(const StandInOptions& options, TopicEndpoint& endpoint, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_endpoint(endpoint)
    , m_transcript(options.format)
    , m_feed(options.ackTimeoutMs) {
    connect(&m_endpoint, &TopicEndpoint::received, this,
            [this](const QString& call, const QString& item, const QString& value) {
                m_transcript.received(call, item, value);
            });
    connect(&m_endpoint, &TopicEndpoint::sent, this,
            [this](const QString& item, const QString& value) { m_transcript.sent(item, value); });
    connect(&m_endpoint, &TopicEndpoint::poked, this, &HomeVisionStandIn::onPoked);
    connect(&m_endpoint, &TopicEndpoint::advised, this, &HomeVisionStandIn::onAdvised);

    connect(&m_feed, &MessageFeed::deliver, this,
            [this](const QString& message) { m_endpoint.setItem(DdeItems.DDEMessage, message); });
    connect(&m_feed, &MessageFeed::acknowledgementOverdue, this, [this](const QString& message) {
        note(QStringLiteral("no acknowledgement of \"%1\" within %2 ms; going on")
                 .arg(message.left(80))
                 .arg(m_options.ackTimeoutMs));
    });
    connect(&m_feed, &MessageFeed::finished, this, &HomeVisionStandIn::finished);
}

void HomeVisionStandIn::onPoked(const QString& item, const QString& /*value*/) {
    if (!m_endpoint.tellsAdvises())
        m_feed.clientListens();
    if (item == DdeItems.DDECommand) {
        m_commandsAcknowledged = m_commandsAcknowledged % 2 + 1;
        m_endpoint.setItem(DdeItems.DDECommandAcknowledge,
                           m_commandsAcknowledged == 1 ? FirstAcknowledgement : SecondAcknowledgement);
    } else if (item == DdeItems.DDEMessageAcknowledge) {
        m_feed.acknowledged();
    }
}

void HomeVisionStandIn::onAdvised(const QString& item) {
    if (item == DdeItems.DDEMessage)
        m_feed.clientListens();
}

} // namespace velmor::homevision
