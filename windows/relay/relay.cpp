#include "windows/relay/relay.h"

#include "windows/common/windows_1252.h"
#include "windows/relay/relay_log.h"

namespace velmor::relay {

namespace {

const std::string Online = "online";
const std::string Offline = "offline";

std::string pokeFailed(const std::string& item, const std::string& why) {
    return "the poke of " + item + " failed (" + why + "); it is not repeated";
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

} // namespace

Relay::Relay(const RelayOptions& options, RelayLog& log)
    : m_options(options)
    , m_log(log)
    , m_topics(options.application, options.topic)
    , m_mailbox(GetCurrentThreadId(), BrokerMessage)
    , m_dde(*this, APPCMD_CLIENTONLY)
    , m_homeVision(m_dde, options.application, options.topic, options.advised, *this)
    , m_broker(options.broker, m_topics.pokes(), {m_topics.state(), Offline}, m_mailbox) {}

Relay::~Relay() = default;

std::string Relay::homeVisionName() const {
    return m_options.application + '|' + m_options.topic;
}

void Relay::run() {
    m_log.write("relaying " + homeVisionName() + " (advising " + joined(m_options.advised) + ") to " +
                m_broker.describe());
    m_broker.start();
    openHomeVision();
    const UINT_PTR ticks = SetTimer(nullptr, 0, TickMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == BrokerMessage)
            takeBrokerEvents();
        else if (message.hwnd == nullptr && message.message == WM_TIMER && message.wParam == ticks)
            tick();
        else
            DispatchMessageW(&message);
    }
    KillTimer(nullptr, ticks);
    m_homeVision.close();
    m_log.write(m_broker.stop() ? "ended; " + m_topics.state() + " says offline" : std::string("ended"));
}

HDDEDATA Relay::onTransaction(const windows::DdeTransaction& transaction) {
    return m_homeVision.onTransaction(transaction);
}

void Relay::itemChanged(const std::string& item, const std::string& bytes) {
    if (!m_broker.publish(m_topics.item(item), windows::utf8FromWindows1252(bytes), false))
        m_log.write("could not hand the new value of " + item + " to the broker");
}

void Relay::conversationEnded() {
    // Only noted here, inside DDEML's callback; the next tick acts on it.
    m_endedByHomeVision = true;
}

void Relay::takeBrokerEvents() {
    for (const BrokerEvent& event : m_mailbox.takeAll())
        onBrokerEvent(event);
    pokeInOrder();
}

void Relay::onBrokerEvent(const BrokerEvent& event) {
    switch (event.kind) {
    case BrokerEvent::Kind::Connected:
        m_log.write("connected to the broker " + m_broker.describe() + "; HomeVision is " +
                    (m_homeVision.isOpen() ? Online : Offline));
        publishState();
        break;
    case BrokerEvent::Kind::Unreachable:
    case BrokerEvent::Kind::Lost:
        m_log.write(
            (event.kind == BrokerEvent::Kind::Lost ? "lost the broker " : "cannot reach the broker ") +
            m_broker.describe() + " (" + event.text + "); trying again");
        break;
    case BrokerEvent::Kind::Message:
        if (const auto item = m_topics.pokedItem(event.topic)) {
            // A retained poke is one somebody left behind, not one sent now.
            if (event.retained)
                m_log.write("ignored a retained poke of " + *item + " left on the broker");
            else
                m_pokes.push_back(event);
        }
        break;
    }
}

void Relay::pokeInOrder() {
    // DDEML may run a message loop of its own inside a poke; what arrives meanwhile waits its turn.
    if (m_poking)
        return;
    m_poking = true;
    while (!m_pokes.empty()) {
        const BrokerEvent poke = std::move(m_pokes.front());
        m_pokes.pop_front();
        const std::string item = *m_topics.pokedItem(poke.topic);
        const std::string why = m_homeVision.poke(item, windows::windows1252FromUtf8(poke.payload));
        if (!why.empty())
            m_log.write(pokeFailed(item, why));
        for (const BrokerEvent& event : m_mailbox.takeAll())
            onBrokerEvent(event);
    }
    m_poking = false;
}

void Relay::tick() {
    const bool vanished = !m_endedByHomeVision && m_homeVision.isOpen() && !m_homeVision.stillThere();
    if (m_endedByHomeVision || vanished)
        homeVisionGone(vanished ? "it went away without a word" : "it ended the conversation");
    else if (!m_homeVision.isOpen() && ReconnectPauses::Clock::now() >= m_nextAttempt)
        openHomeVision();
    // A wake-up swallowed by a modal loop must not leave work waiting.
    takeBrokerEvents();
}

void Relay::openHomeVision() {
    const std::string why = m_homeVision.open();
    const auto now = ReconnectPauses::Clock::now();
    if (why.empty()) {
        m_homeVisionPauses.connected(now);
        m_log.write("HomeVision answered on " + homeVisionName() + "; " + m_topics.state() + " says online");
        publishState();
        return;
    }
    const ReconnectPauses::Failure failure = m_homeVisionPauses.failed(now);
    m_nextAttempt = now + failure.pause;
    if (failure.beginsOutage)
        m_log.write("HomeVision does not answer on " + homeVisionName() + " (" + why + "); trying again");
}

void Relay::homeVisionGone(const std::string& why) {
    m_endedByHomeVision = false;
    m_homeVision.close();
    const ReconnectPauses::Failure failure = m_homeVisionPauses.failed(ReconnectPauses::Clock::now());
    m_nextAttempt = ReconnectPauses::Clock::now() + failure.pause;
    m_log.write("HomeVision left " + homeVisionName() + " (" + why + "); " + m_topics.state() +
                " says offline; trying again");
    publishState();
}

void Relay::publishState() {
    if (!m_broker.publish(m_topics.state(), m_homeVision.isOpen() ? Online : Offline, true))
        m_log.write("could not hand the state to the broker");
}

} // namespace velmor::relay
