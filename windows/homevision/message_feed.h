#pragma once

#include <deque>
#include <functional>
#include <string>

namespace velmor::homevision {

// HomeVision's messages to its client, one at a time, as velmor-homevision hands them out: the next
// goes out only when the previous was acknowledged, or when the acknowledgement is overdue. Nothing
// goes out until a client listens. The owner keeps the clock: it starts its acknowledgement timer on
// deliver and calls overdue() when the timer runs out.
class MessageFeed {
public:
    struct Actions {
        std::function<void(const std::string& message)> deliver;
        std::function<void(const std::string& message)> acknowledgementOverdue;
        // Every message went out and had its answer (or its time-out), and no more will come.
        std::function<void()> finished;
    };

    explicit MessageFeed(Actions actions);

    void add(const std::string& message);
    // No more messages will be added.
    void endOfInput();
    // A client listens to the messages now.
    void clientListens();
    void acknowledged();
    void overdue();

    [[nodiscard]] bool awaitsAcknowledgement() const { return m_awaitingAck; }

private:
    void next();

    Actions m_actions;
    std::deque<std::string> m_queue;
    std::string m_awaiting;
    bool m_clientListens = false;
    bool m_awaitingAck = false;
    bool m_inputEnded = false;
    bool m_finished = false;
};

} // namespace velmor::homevision
