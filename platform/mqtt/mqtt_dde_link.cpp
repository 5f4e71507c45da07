#include "platform/mqtt/mqtt_dde_link.h"

#include "core/error.h"
#include "core/log_categories.h"
#include "platform/mqtt/mqtt_connection.h"

namespace velmor {

namespace {

const QByteArray Online = QByteArrayLiteral("online");

} // namespace

MqttDdeLink::MqttDdeLink(MqttConnection& connection, QObject* parent)
    : DdeLink(parent)
    , m_connection(connection) {
    connect(&m_connection, &MqttConnection::messageReceived, this, &MqttDdeLink::onMessage);
}

void MqttDdeLink::setLinkTopic(const QString& topic) {
    m_topic = topic;
}

void MqttDdeLink::setLinkItem(const QString& item) {
    m_item = item;
}

void MqttDdeLink::setLinkMode(int mode) {
    m_mode = None;
    m_topics.reset();
    if (mode == None)
        return;
    if (mode != Automatic && mode != Manual)
        throw Error(dde_link_error::BadMode, QStringLiteral("%1 is not a DDE link mode").arg(mode));
    const std::optional<MqttDdeTopics> topics = mqttDdeTopics(m_topic, m_item);
    if (!topics) {
        throw Error(dde_link_error::BadTopic,
                    QStringLiteral("\"%1\" with item \"%2\" names no MQTT topic (application|topic, "
                                   "without \"/\", \"+\" or \"#\")")
                        .arg(m_topic, m_item));
    }

    // One budget for the whole initiate: connecting, hearing the controller, subscribing.
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    const QString broker = describeBroker(m_connection.broker());
    if (!m_connection.waitForConnected(deadline)) {
        const QString why = m_connection.lastProblem().value_or(QStringLiteral("no answer in time"));
        if (m_connection.wasTurnedAway())
            throw Error(dde_link_error::Refused,
                        QStringLiteral("Initiate on %1: the MQTT broker %2 turned Velmor away (%3)")
                            .arg(m_topic, broker, why));
        throw Error(dde_link_error::NoApplicationAnswered,
                    QStringLiteral("Initiate on %1: no MQTT broker at %2 (%3)").arg(m_topic, broker, why));
    }

    RetainedValueWatch& retained = m_connection.retainedValues();
    static_cast<void>(retained.refresh(topics->state, deadline));
    if (retained.latest(topics->state) != Online) {
        throw Error(dde_link_error::NoApplicationAnswered,
                    QStringLiteral("Initiate on %1: no controller keeps \"online\" on %2 at %3")
                        .arg(m_topic, topics->state, broker));
    }
    if (mode == Automatic) {
        m_connection.subscribe(topics->item, 1);
        if (!m_connection.waitForRoundTrip(deadline))
            throw Error(dde_link_error::TimedOut,
                        QStringLiteral("Advise of %1 on %2: the MQTT broker %3 did not confirm in time")
                            .arg(m_item, m_topic, broker));
    }
    m_topics = topics;
    m_mode = mode;
}

bool MqttDdeLink::controllerOnline() const {
    return m_connection.isConnected() && m_connection.retainedValues().latest(m_topics->state) == Online;
}

void MqttDdeLink::poke(const QString& value) {
    const QString doing = QStringLiteral("Poke of %1 on %2").arg(m_item, m_topic);
    if (!m_topics)
        throw Error(dde_link_error::NoLink,
                    QStringLiteral("No link is open for %1 on %2").arg(m_item, m_topic));
    if (!m_connection.isConnected())
        throw Error(dde_link_error::Refused, doing + QStringLiteral(": not connected to the MQTT broker"));
    if (!controllerOnline())
        throw Error(dde_link_error::Refused, doing + QStringLiteral(": the controller is offline"));
    const std::optional<int> messageId = m_connection.publish(m_topics->poke, value.toUtf8(), 1, false);
    if (!messageId)
        throw Error(dde_link_error::Refused,
                    doing + QStringLiteral(": the MQTT library would not publish it"));
    if (!m_connection.waitForAcknowledgement(*messageId, QDeadlineTimer(MqttConnection::WaitLimit)))
        throw Error(dde_link_error::TimedOut,
                    doing + QStringLiteral(": the MQTT broker did not acknowledge it in time"));
    if (!controllerOnline())
        throw Error(dde_link_error::Refused, doing + QStringLiteral(": the controller went offline"));
}

void MqttDdeLink::onMessage(const QString& topic, const QByteArray& payload, bool retained) {
    if (m_mode != Automatic || topic != m_topics->item)
        return;
    if (retained) {
        // A stored value was published once, long ago: taking it at every subscribe would hand the
        // same message to the handler again at each start and each reconnect.
        if (!m_warnedOfRetained) {
            m_warnedOfRetained = true;
            qCWarning(lcMqtt,
                      "ignoring the retained value on %s; an item's value counts once, as it is published",
                      qUtf8Printable(topic));
        }
        return;
    }
    // Bytes that are not UTF-8 become U+FFFD, so the handler still sees, logs and acknowledges the message.
    Q_EMIT valueDelivered(QString::fromUtf8(payload));
}

} // namespace velmor
