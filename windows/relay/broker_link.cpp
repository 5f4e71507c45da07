#include "windows/relay/broker_link.h"

#include "windows/relay/reconnect_pauses.h"

#include <windows.h>

#include <cerrno>
#include <mosquitto.h>
#include <random>

namespace velmor::relay {

namespace {

constexpr int KeepAliveSeconds = 30;
// How long one turn of the library's loop may sleep before the thread looks whether it should end.
constexpr int LoopTurnMs = 200;
constexpr auto GoodbyeLimit = std::chrono::seconds(2);
// A connection neither made nor refused by then is given up and tried again later.
constexpr std::chrono::seconds ConnectLimit{10};

std::string clientId() {
    std::random_device random;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return std::string("velmor-dde-relay-") + suffix;
}

// The library reports the system's own failures through errno, which on Windows holds the socket
// error.
std::string libraryError(int rc) {
    std::string why;
    if (rc != MOSQ_ERR_ERRNO) {
        why = mosquitto_strerror(rc);
    } else {
        const int error = errno;
        char* text = nullptr;
        const DWORD length = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
        why = length > 0 ? std::string(text, length) : "system error " + std::to_string(error);
        LocalFree(text);
    }
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.'))
        why.pop_back();
    return why;
}

} // namespace

BrokerLink::BrokerLink(BrokerUrl url, const std::string& pokeFilter, LastWords will,
                       windows::ThreadMailbox<BrokerEvent>& mailbox)
    : m_url(std::move(url))
    , m_pokeFilter(pokeFilter)
    , m_will(std::move(will))
    , m_mailbox(mailbox)
    , m_mosq(mosquitto_new(clientId().c_str(), true, this), &mosquitto_destroy) {
    if (!m_mosq)
        throw std::runtime_error("libmosquitto could not make a client");
    mosquitto* const m = m_mosq.get();
    mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Without it one message's round trip through the relay takes tens of milliseconds instead of one
    // or two: the small packets wait for the peer's delayed acknowledgement.
    mosquitto_int_option(m, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_threaded_set(m, true);
    mosquitto_will_set(m, m_will.topic.c_str(), static_cast<int>(m_will.payload.size()),
                       m_will.payload.data(), 1, true);
    if (!m_url.user.empty())
        mosquitto_username_pw_set(m, m_url.user.c_str(),
                                  m_url.hasPassword ? m_url.password.c_str() : nullptr);
    mosquitto_connect_callback_set(m, &BrokerLink::onConnect);
    mosquitto_publish_callback_set(m, &BrokerLink::onPublish);
    mosquitto_message_callback_set(m, &BrokerLink::onMessage);
}

BrokerLink::~BrokerLink() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BrokerLink::start() {
    m_thread = std::thread(&BrokerLink::run, this);
}

bool BrokerLink::publish(const std::string& topic, const std::string& payload, bool retain) {
    return mosquitto_publish(m_mosq.get(), nullptr, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), 1, retain) == MOSQ_ERR_SUCCESS;
}

bool BrokerLink::stop() {
    bool said = false;
    if (isConnected()) {
        {
            const std::lock_guard lock(m_mutex);
            m_collectingAcknowledgements = true;
        }
        // Not under the lock: the library's thread may be telling of an acknowledgement meanwhile.
        int mid = 0;
        if (mosquitto_publish(m_mosq.get(), &mid, m_will.topic.c_str(),
                              static_cast<int>(m_will.payload.size()), m_will.payload.data(), 1,
                              true) == MOSQ_ERR_SUCCESS) {
            std::unique_lock lock(m_mutex);
            said = m_changed.wait_for(lock, GoodbyeLimit, [&] {
                return m_acknowledged.contains(mid) || !m_connected;
            }) && m_acknowledged.contains(mid);
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    mosquitto_disconnect(m_mosq.get());
    if (m_thread.joinable())
        m_thread.join();
    return said;
}

bool BrokerLink::stopping() {
    const std::lock_guard lock(m_mutex);
    return m_stopping;
}

void BrokerLink::waitBeforeRetry(std::chrono::milliseconds pause) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, pause, [this] { return m_stopping; });
}

void BrokerLink::run() {
    mosquitto* const m = m_mosq.get();
    ReconnectPauses pauses;
    while (!stopping()) {
        const auto began = ReconnectPauses::Clock::now();
        bool wasConnected = false;
        std::string why;
        int rc = mosquitto_connect_async(m, m_url.host.c_str(), m_url.port, KeepAliveSeconds);
        while (rc == MOSQ_ERR_SUCCESS && !stopping()) {
            rc = mosquitto_loop(m, LoopTurnMs, 1);
            const auto now = ReconnectPauses::Clock::now();
            const bool connected = isConnected();
            if (connected && !wasConnected)
                pauses.connected(now);
            wasConnected = wasConnected || connected;
            // Where a refused connection is only reported as an exception on the socket, the library
            // would wait on it for ever.
            if (!wasConnected && now - began > ConnectLimit) {
                why = "no answer within " + std::to_string(ConnectLimit.count()) + " s";
                break;
            }
        }
        mosquitto_disconnect(m);
        {
            const std::lock_guard lock(m_mutex);
            m_connected = false;
            if (why.empty())
                why = m_refusal.empty() ? libraryError(rc) : m_refusal;
            m_refusal.clear();
        }
        m_changed.notify_all();
        if (stopping())
            break;
        const ReconnectPauses::Failure failure = pauses.failed(ReconnectPauses::Clock::now());
        if (wasConnected)
            m_mailbox.put(BrokerEvent::about(BrokerEvent::Kind::Lost, why));
        else if (failure.beginsOutage)
            m_mailbox.put(BrokerEvent::about(BrokerEvent::Kind::Unreachable, why));
        waitBeforeRetry(failure.pause);
    }
}

bool BrokerLink::isConnected() {
    const std::lock_guard lock(m_mutex);
    return m_connected;
}

void BrokerLink::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* link = static_cast<BrokerLink*>(self);
    if (rc != 0) {
        {
            const std::lock_guard lock(link->m_mutex);
            link->m_refusal = std::string("the broker refused the relay: ") + mosquitto_connack_string(rc);
        }
        mosquitto_disconnect(mosq);
        return;
    }
    mosquitto_subscribe(mosq, nullptr, link->m_pokeFilter.c_str(), 1);
    {
        const std::lock_guard lock(link->m_mutex);
        link->m_connected = true;
    }
    link->m_mailbox.put(BrokerEvent::about(BrokerEvent::Kind::Connected, {}));
}

void BrokerLink::onPublish(mosquitto* /*mosq*/, void* self, int mid) {
    auto* link = static_cast<BrokerLink*>(self);
    {
        const std::lock_guard lock(link->m_mutex);
        if (!link->m_collectingAcknowledgements)
            return;
        link->m_acknowledged.insert(mid);
    }
    link->m_changed.notify_all();
}

void BrokerLink::onMessage(mosquitto* /*mosq*/, void* self, const mosquitto_message* message) {
    auto* link = static_cast<BrokerLink*>(self);
    link->m_mailbox.put({BrokerEvent::Kind::Message,
                         {},
                         message->topic,
                         std::string(static_cast<const char*>(message->payload),
                                     static_cast<std::size_t>(message->payloadlen)),
                         message->retain});
}

} // namespace velmor::relay
