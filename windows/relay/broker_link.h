#pragma once

#include "platform/mqtt/broker_url.h"
#include "windows/common/thread_mailbox.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace velmor::relay {

// What the broker's side has to tell the relay's thread.
struct BrokerEvent {
    enum class Kind {
        Connected,   // the broker let the relay in; pokes are subscribed
        Unreachable, // no broker let the relay in (text: why), said once per outage
        Lost,        // the connection broke (text: why)
        Message,     // a message on a subscribed topic
    };
    Kind kind;
    std::string text;
    std::string topic;
    std::string payload;
    bool retained = false;

    [[nodiscard]] static BrokerEvent about(Kind kind, std::string text) {
        return {kind, std::move(text), {}, {}};
    }
};

// The relay's one connection to the broker, kept up by a thread of its own that runs libmosquitto and
// reconnects with back-off. Events go to the relay's thread through the mailbox; publish() may be
// called from any thread. The relay's will is the last words given to the constructor.
class BrokerLink {
public:
    struct LastWords {
        std::string topic;
        std::string payload;
    };

    BrokerLink(BrokerUrl url, const std::string& pokeFilter, LastWords will,
               windows::ThreadMailbox<BrokerEvent>& mailbox);
    // Ends the thread without saying anything more: the broker sends the will.
    ~BrokerLink();
    BrokerLink(const BrokerLink&) = delete;
    BrokerLink& operator=(const BrokerLink&) = delete;

    void start();
    // QoS 1. Queued by the library while the broker is away, sent when it is back; false when the
    // library refused it outright.
    bool publish(const std::string& topic, const std::string& payload, bool retain);
    // Publishes the will's words itself (retained) and waits a little for the broker to take them,
    // then disconnects and ends the thread. Returns whether the broker took them.
    bool stop();

    [[nodiscard]] std::string describe() const { return describeBrokerUrl(m_url); }

private:
    void run();
    void waitBeforeRetry(std::chrono::milliseconds pause);
    [[nodiscard]] bool stopping();
    [[nodiscard]] bool isConnected();
    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onPublish(mosquitto* mosq, void* self, int mid);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);

    BrokerUrl m_url;
    std::string m_pokeFilter;
    LastWords m_will;
    windows::ThreadMailbox<BrokerEvent>& m_mailbox;
    std::unique_ptr<mosquitto, void (*)(mosquitto*)> m_mosq;
    std::thread m_thread;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    bool m_connected = false;
    // Why the broker would not let the relay in, when it answered so.
    std::string m_refusal;
    // The messages the broker acknowledged since stop() began to wait for its goodbye.
    bool m_collectingAcknowledgements = false;
    std::set<int> m_acknowledged;
};

} // namespace velmor::relay
