#include "tools/homevision/homevision_stand_in.h"

#include "dde_topic_adaptor.h"
#include "hvlink/dde_items.h"

#include <cstdio>

namespace velmor::homevision {

namespace {

void note(const QString& text) {
    std::fprintf(stderr, "velmor-homevision: %s\n", qUtf8Printable(text));
}

} // namespace

HomeVisionStandIn::HomeVisionStandIn(const StandInOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_server(options.quirks)
    , m_transcript(options.format)
    , m_feed(options.ackTimeoutMs) {
    // The adaptor belongs to the server object and puts its calls and signals on the bus.
    new DdeTopicAdaptor(&m_server);

    connect(&m_server, &DdeTopicServer::received, this,
            [this](const QString& call, const QString& item, const QString& value) {
                m_transcript.received(call, item, value);
            });
    connect(&m_server, &DdeTopicServer::ItemChanged, this,
            [this](const QString& item, const QString& value) { m_transcript.sent(item, value); });
    connect(&m_server, &DdeTopicServer::poked, this, &HomeVisionStandIn::onPoked);
    connect(&m_server, &DdeTopicServer::advised, this, &HomeVisionStandIn::onAdvised);

    connect(&m_feed, &MessageFeed::deliver, this,
            [this](const QString& message) { m_server.setItem(DdeItems.DDEMessage, message); });
    connect(&m_feed, &MessageFeed::acknowledgementOverdue, this, [this](const QString& message) {
        note(QStringLiteral("no acknowledgement of \"%1\" within %2 ms; going on")
                 .arg(message.left(80))
                 .arg(m_options.ackTimeoutMs));
    });
    connect(&m_feed, &MessageFeed::finished, this, &HomeVisionStandIn::finished);
}

bool HomeVisionStandIn::serve(QDBusConnection bus, QString& error) {
    const QString service = QStringLiteral("org.velmor.DDE.") + m_options.application;
    const QString path = QLatin1Char('/') + m_options.topic;
    if (!bus.isConnected()) {
        error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    // The object is there before the name, so no client finds the name without the topic.
    if (!bus.registerObject(path, &m_server, QDBusConnection::ExportAdaptors)) {
        error = QStringLiteral("cannot serve the object %1").arg(path);
        return false;
    }
    if (!bus.registerService(service)) {
        error = QStringLiteral("cannot own %1 (is another HomeVision running?)").arg(service);
        return false;
    }
    note(QStringLiteral("serving %1 at %2").arg(service, path));
    return true;
}

void HomeVisionStandIn::onPoked(const QString& item, const QString& /*value*/) {
    if (item == DdeItems.DDECommand) {
        m_commandsAcknowledged = m_commandsAcknowledged % 2 + 1;
        m_server.setItem(DdeItems.DDECommandAcknowledge,
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
