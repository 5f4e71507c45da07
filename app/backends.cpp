#include "app/backends.h"

#include "app/form1.h"
#include "core/error.h"
#include "platform/dbus/dbus_dde_link.h"
#include "platform/dbus/dbus_instance_guard.h"
#include "platform/dbus/session_bus.h"
#include "platform/mpd/mpd_server_address.h"
#include "platform/mpd/mpd_slink_control.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/mqtt_dde_link.h"
#include "platform/mqtt/mqtt_instance_guard.h"
#include "platform/mqtt/velmor_topics.h"
#include "platform/ncid/ncid_server_address.h"
#include "platform/ncid/ncid_telephony_control.h"
#include "platform/posix/posix_regular_files.h"

namespace velmor {

bool linksGoOverMqtt() {
    return !qEnvironmentVariableIsEmpty("VELMOR_MQTT");
}

std::unique_ptr<MqttConnection> makeMqttConnection() {
    if (!linksGoOverMqtt())
        return nullptr;
    const QString value = qEnvironmentVariable("VELMOR_MQTT");
    MqttAddressParse parsed = parseMqttBrokerAddress(value);
    if (const auto* problem = std::get_if<MqttAddressProblem>(&parsed))
        throw Error(error_number::InvalidProcedureCall, problem->text);
    auto connection = std::make_unique<MqttConnection>(std::get<MqttBrokerAddress>(std::move(parsed)),
                                                       QStringLiteral("velmor"));
    connection->start();
    return connection;
}

std::unique_ptr<VelmorTopics> makeVelmorTopics(MqttConnection* mqtt) {
    return mqtt ? std::make_unique<VelmorTopics>(*mqtt) : nullptr;
}

void connectTopics(VelmorTopics* topics, Form1Parts& parts) {
    parts.nowPlayingObserver = topics;
    parts.callObserver = topics;
}

void connectTopics(VelmorTopics* topics, Form1& form) {
    if (topics)
        QObject::connect(topics, &VelmorTopics::jukeboxCommandReceived, &form, &Form1::sendJukeboxCommand);
}

Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox, MqttConnection* mqtt) {
    Form1Parts parts;
    if (mqtt) {
        parts.ddeLinks.forEach(
            [mqtt](HvLabel, std::unique_ptr<DdeLink>& link) { link = std::make_unique<MqttDdeLink>(*mqtt); });
    } else {
        const QDBusConnection bus = sessionBus();
        parts.ddeLinks.forEach(
            [&bus](HvLabel, std::unique_ptr<DdeLink>& link) { link = std::make_unique<DbusDdeLink>(bus); });
    }
    parts.slinkx = std::make_unique<MpdSlinkControl>(mpdServerAddressFromEnvironment());
    parts.callSoft1 = std::make_unique<NcidTelephonyControl>(ncidServerAddressFromEnvironment());
    parts.messageBox = std::move(messageBox);
    parts.files = std::make_unique<PosixRegularFiles>();
    return parts;
}

std::unique_ptr<InstanceGuard> makeInstanceGuard(MqttConnection* mqtt) {
    // The claim is made where the links go: on the broker when they run over MQTT, otherwise on the
    // session bus they use.
    if (mqtt)
        return std::make_unique<MqttInstanceGuard>(*mqtt);
    return std::make_unique<DbusInstanceGuard>(QDBusConnection::sessionBus());
}

} // namespace velmor
