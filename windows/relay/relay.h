#pragma once

#include "windows/common/dde_instance.h"
#include "windows/common/thread_mailbox.h"
#include "windows/relay/broker_link.h"
#include "windows/relay/homevision_link.h"
#include "windows/relay/reconnect_pauses.h"
#include "windows/relay/relay_options.h"
#include "windows/relay/relay_topics.h"

#include <deque>

namespace velmor::relay {

class RelayLog;

// The relay itself, on the thread that makes it and runs it: that thread's message loop serves DDEML,
// takes the broker's events from their mailbox, and looks after HomeVision on a timer.
//   - While the DDE conversation is up, velmor/APP/TOPIC/state holds "online"; otherwise "offline".
//   - Each change of an advised item is published once, in order.
//   - Each message on velmor/APP/TOPIC/ITEM/set is poked to ITEM, one at a time, in arrival order,
//     never twice: a poke that failed may still have reached HomeVision.
//   - HomeVision that went away is noticed within a tick even when DDEML does not tell, and both it
//     and the broker are tried again with back-off.
class Relay final : private windows::DdeHandler, private HomeVisionLink::Listener {
public:
    Relay(const RelayOptions& options, RelayLog& log);
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // Runs until the thread receives WM_QUIT, then says "offline" and closes both sides.
    void run();

private:
    static constexpr UINT BrokerMessage = WM_APP + 1;
    static constexpr UINT TickMs = 250;

    HDDEDATA onTransaction(const windows::DdeTransaction& transaction) override;
    void itemChanged(const std::string& item, const std::string& bytes) override;
    void conversationEnded() override;

    void takeBrokerEvents();
    void onBrokerEvent(const BrokerEvent& event);
    void pokeInOrder();
    void tick();
    void openHomeVision();
    void homeVisionGone(const std::string& why);
    void publishState();
    [[nodiscard]] std::string homeVisionName() const;

    const RelayOptions& m_options;
    RelayLog& m_log;
    RelayTopics m_topics;
    windows::ThreadMailbox<BrokerEvent> m_mailbox;
    windows::DdeInstance m_dde;
    HomeVisionLink m_homeVision;
    BrokerLink m_broker;
    ReconnectPauses m_homeVisionPauses;
    ReconnectPauses::Clock::time_point m_nextAttempt;
    std::deque<BrokerEvent> m_pokes;
    bool m_poking = false;
    bool m_endedByHomeVision = false;
};

} // namespace velmor::relay
