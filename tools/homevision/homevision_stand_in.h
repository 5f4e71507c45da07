#pragma once

#include "tools/homevision/dde_topic_server.h"
#include "tools/homevision/message_feed.h"
#include "tools/homevision/stand_in_options.h"
#include "tools/homevision/transcript.h"

#include <QDBusConnection>
#include <QObject>

namespace velmor::homevision {

// HomeVision's side of the conversation: acknowledges each command poked to DDECommand through
// DDECommandAcknowledge, and hands out its messages through DDEMessage, each after the client
// acknowledged the previous one through DDEMessageAcknowledge.
class HomeVisionStandIn : public QObject {
    Q_OBJECT
public:
    explicit HomeVisionStandIn(const StandInOptions& options, QObject* parent = nullptr);

    // Takes the topic's object and bus name; on failure says why in `error`.
    [[nodiscard]] bool serve(QDBusConnection bus, QString& error);

    void addMessage(const QString& message) { m_feed.add(message); }
    void endOfInput() { m_feed.endOfInput(); }

Q_SIGNALS:
    // The last message went out and no more will come.
    void finished();

private:
    void onPoked(const QString& item, const QString& value);
    void onAdvised(const QString& item);

    StandInOptions m_options;
    DdeTopicServer m_server;
    Transcript m_transcript;
    MessageFeed m_feed;
    int m_commandsAcknowledged = 0;
};

} // namespace velmor::homevision
