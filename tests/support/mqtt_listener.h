#pragma once

#include "platform/mqtt/mqtt_connection.h"

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace velmor::test {

// One message as a listener heard it.
struct Heard {
    std::string topic;
    std::string payload;
    bool retained;

    friend bool operator==(const Heard&, const Heard&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Heard& heard) {
        return out << heard.topic << " " << heard.payload << (heard.retained ? " (retained)" : "");
    }
};
using HeardMatch = std::function<bool(const Heard&)>;

// The address of a test's own broker, from the URL it listens at.
[[nodiscard]] MqttBrokerAddress brokerAt(const QString& url);

// The message, live or kept by the broker.
[[nodiscard]] HeardMatch is(const char* topic, const char* payload);
// The message as it was published while the listener listened.
[[nodiscard]] HeardMatch live(const char* topic, const char* payload);

// A plain client on the broker, as anyone else there would be: it subscribes to the topics given and
// keeps all it hears. libmosquitto must be set up (a MosquittoLibrary) while it lives.
class MqttListener {
public:
    static constexpr int WaitMs = 10'000;

    MqttListener(const QString& url, std::initializer_list<const char*> topics);

    void publish(const char* topic, const QByteArray& payload, bool retain = false);
    // Until everything the broker owes this listener so far has been heard.
    void sync();
    [[nodiscard]] std::size_t count(const HeardMatch& which) const;
    bool waitFor(const HeardMatch& which, std::size_t atLeast = 1);

private:
    MqttConnection m_connection;
    std::vector<Heard> m_heard;
};

} // namespace velmor::test
