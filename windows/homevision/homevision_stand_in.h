#pragma once

#include "windows/homevision/console_input.h"
#include "windows/homevision/dde_topic_server.h"
#include "windows/homevision/message_feed.h"
#include "windows/homevision/stand_in_options.h"
#include "windows/homevision/transcript.h"

namespace velmor::homevision {

// HomeVision's side of the conversation, as velmor-homevision plays it: acknowledges each command poked
// to DDECommand through DDECommandAcknowledge, and hands out its messages through DDEMessage, each after
// the client acknowledged the previous one through DDEMessageAcknowledge. Runs the thread's message
// loop, which serves DDEML too.
class HomeVisionStandIn final : private DdeTopicServer::Listener {
public:
    static constexpr UINT InputMessage = WM_APP + 1;

    // Throws windows::DdeFailure.
    explicit HomeVisionStandIn(const StandInOptions& options);

    // Serves the topic and runs until the last message had its answer (or on, with keepServing), or
    // until the thread receives WM_QUIT.
    void run(InputMailbox& input);
    // What to deliver when there is no input to read.
    void addMessage(const std::string& message) { m_feed.add(message); }
    void endOfInput() { m_feed.endOfInput(); }

private:
    void received(const std::string& call, const std::string& item, const std::string& value) override;
    void sent(const std::string& item, const std::string& value) override;
    void advised(const std::string& item) override;
    void poked(const std::string& item, const std::string& value) override;
    void stopAckTimer();

    StandInOptions m_options;
    Transcript m_transcript;
    DdeTopicServer m_server;
    MessageFeed m_feed;
    UINT_PTR m_ackTimer = 0;
    int m_commandsAcknowledged = 0;
    bool m_finished = false;
};

} // namespace velmor::homevision
