#include "platform/mqtt/velmor_topics.h"

#include "announce/home_assistant_discovery.h"
#include "announce/velmor_payloads.h"
#include "core/log_categories.h"
#include "platform/mqtt/mqtt_connection.h"

#include <QJsonDocument>

namespace velmor {

namespace {

// At least once: a status, a config or a call lost on a broken connection would mislead for long.
constexpr int Qos = 1;
// How long a clean exit waits for the broker to take the "offline".
constexpr std::chrono::milliseconds GoodbyeLimit{1000};

} // namespace

VelmorTopics::VelmorTopics(MqttConnection& connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection) {
    m_connection.setWill(velmor_topic::Status, StatusOffline, Qos, true);
    m_connection.subscribe(velmor_topic::JukeboxSend, Qos);
    m_connection.subscribe(HomeAssistantStatus, Qos);
    connect(&m_connection, &MqttConnection::connected, this, &VelmorTopics::onConnected);
    connect(&m_connection, &MqttConnection::messageReceived, this, &VelmorTopics::onMessage);
}

VelmorTopics::~VelmorTopics() {
    // A copy that found another one running never said "online", and must not say "offline" for it.
    if (!m_announced || !m_connection.isConnected())
        return;
    // Waiting for the broker's acknowledgement also reads what it sent before it (our own status,
    // which the instance check subscribed to): a socket closed on unread data is reset, not closed,
    // and the broker would then drop the goodbye and publish the will as well.
    if (const auto id = m_connection.publish(velmor_topic::Status, StatusOffline, Qos, true))
        static_cast<void>(m_connection.waitForAcknowledgement(*id, QDeadlineTimer(GoodbyeLimit)));
}

void VelmorTopics::onConnected() {
    publishDiscovery();
    // Once said, a broker that keeps retained values across restarts may hold it still.
    if (m_connection.publish(velmor_topic::Status, StatusOnline, Qos, true))
        m_announced = true;
    if (m_nowPlaying)
        static_cast<void>(m_connection.publish(velmor_topic::NowPlaying, *m_nowPlaying, Qos, true));
}

void VelmorTopics::nowPlaying(const TrackInfo& track) {
    m_nowPlaying = nowPlayingJson(track);
    static_cast<void>(m_connection.publish(velmor_topic::NowPlaying, *m_nowPlaying, Qos, true));
}

void VelmorTopics::callReported(const CallReport& call) {
    static_cast<void>(m_connection.publish(velmor_topic::Call, callJson(call), Qos, false));
}

void VelmorTopics::publishDiscovery() {
    for (const DiscoveryConfig& discovery : homeAssistantDiscovery()) {
        static_cast<void>(m_connection.publish(
            discovery.topic, QJsonDocument(discovery.config).toJson(QJsonDocument::Compact), Qos, true));
    }
}

void VelmorTopics::onMessage(const QString& topic, const QByteArray& payload, bool retained) {
    if (topic == velmor_topic::JukeboxSend) {
        // An empty message is how a retained one is cleared, not a command.
        if (payload.isEmpty())
            return;
        // A command left retained would run again at every start; commands are meant for the moment.
        if (retained) {
            if (!m_warnedOfRetainedCommand) {
                qCWarning(lcJukebox, "ignoring a retained command on %s; publish commands without retain",
                          qUtf8Printable(topic));
                m_warnedOfRetainedCommand = true;
            }
            return;
        }
        Q_EMIT jukeboxCommandReceived(QString::fromUtf8(payload));
    } else if (topic == HomeAssistantStatus && !retained && payload == "online") {
        // Home Assistant forgets discovered devices when it restarts and asks again this way. A retained
        // "online" seen on subscribing is not a restart: the configs just went out with the connect.
        publishDiscovery();
    }
}

} // namespace velmor
