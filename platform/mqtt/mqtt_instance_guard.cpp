#include "platform/mqtt/mqtt_instance_guard.h"

#include "announce/velmor_payloads.h"
#include "core/log_categories.h"
#include "platform/mqtt/mqtt_connection.h"

namespace velmor {

namespace {

// A running copy answers at once, from inside its own waits too; this leaves room for a slow network.
constexpr std::chrono::milliseconds AnswerLimit{2000};

} // namespace

MqttInstanceGuard::MqttInstanceGuard(MqttConnection& connection, QObject* parent)
    : InstanceGuard(parent)
    , m_connection(connection) {
    m_connection.setAdmitted(false);
}

InstanceGuard::Claim MqttInstanceGuard::claim() {
    RetainedValueWatch& retained = m_connection.retainedValues();
    const QDeadlineTimer deadline(MqttConnection::WaitLimit);
    if (!m_connection.waitForConnected(deadline) || !retained.refresh(velmor_topic::Status, deadline))
        return cannotCheck();
    if (retained.latest(velmor_topic::Status) != StatusOnline)
        return takeOver();
    switch (m_connection.askForRunningCopy(deadline, AnswerLimit)) {
    case MqttConnection::RunningCopy::Answered:
        return Claim::Taken;
    case MqttConnection::RunningCopy::Silent:
        qCWarning(lcMqtt, "%s on %s says \"online\", but no copy answered; taking over",
                  qUtf8Printable(velmor_topic::Status), qUtf8Printable(place()));
        return takeOver();
    case MqttConnection::RunningCopy::Unknown:
        break;
    }
    return cannotCheck();
}

InstanceGuard::Claim MqttInstanceGuard::cannotCheck() const {
    // A broker that turned Velmor away or refuses its messages will not let it check later either.
    return m_connection.wasTurnedAway() || m_connection.refusesRoundTrips() ? Claim::Unchecked
                                                                            : Claim::NotYet;
}

InstanceGuard::Claim MqttInstanceGuard::takeOver() {
    m_connection.answerAsRunningCopy();
    m_connection.setAdmitted(true);
    return Claim::Ours;
}

QString MqttInstanceGuard::place() const {
    return QStringLiteral("the MQTT broker %1").arg(describeBroker(m_connection.broker()));
}

} // namespace velmor
