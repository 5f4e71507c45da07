#pragma once

#include "tools/homevision/message_feed.h"
#include "tools/homevision/stand_in_options.h"
#include "tools/homevision/topic_endpoint.h"
#include "tools/homevision/transcript.h"

#include <QObject>

namespace velmor::homevision {

// HomeVision's side of the conversation: acknowledges each command poked to DDECommand through
// DDECommandAcknowledge, and hands out its messages through DDEMessage, each after the client
// acknowledged the previous one through DDEMessageAcknowledge. The same on every carrier: the endpoint
// it is given is the carrier. Where the carrier cannot tell when a client listens, the client's first
// poke shows that it does.
class HomeVisionStandIn : public QObject {
    Q_OBJECT
public:
    HomeVisionStandIn(const StandInOptions& options, TopicEndpoint& endpoint, QObject* parent = nullptr);

    void addMessage(const QString& message) { m_feed.add(message); }
    void endOfInput() { m_feed.endOfInput(); }

Q_SIGNALS:
    // The last message went out and no more will come.
    void finished();

private:
    void onPoked(const QString& item, const QString& value);
    void onAdvised(const QString& item);

    StandInOptions m_options;
    TopicEndpoint& m_endpoint;
    Transcript m_transcript;
    MessageFeed m_feed;
    int m_commandsAcknowledged = 0;
};

} // namespace velmor::homevision
