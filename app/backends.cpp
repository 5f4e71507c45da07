#include "app/backends.h"

#include "core/error.h"
#include "platform/dbus/dbus_dde_link.h"
#include "platform/mpd/mpd_slink_control.h"
#include "platform/mqtt/mqtt_connection.h"
#include "platform/mqtt/mqtt_dde_link.h"
#include "platform/mqtt/mqtt_instance_guard.h"
#include "platform/ncid/ncid_server_address.h"
#include "platform/ncid/ncid_telephony_control.h"

#include <QDBusConnection>

namespace velmor {

std::unique_ptr<MqttConnection> makeMqttConnection() {
    const QString value = qEnvironmentVariable("VELMOR_MQTT");
    if (value.isEmpty())
        return nullptr;
    MqttAddressParse parsed = parseMqttBrokerAddress(value);
    if (const auto* problem = std::get_if<MqttAddressProblem>(&parsed))
        throw Error(error_number::InvalidProcedureCall, problem->text);
    auto connection = std::make_unique<MqttConnection>(std::get<MqttBrokerAddress>(std::move(parsed)),
                                                       QStringLiteral("velmor"));
    connection->start();
    return connection;
}

Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox, MqttConnection* mqtt) {
    Form1Parts parts;
    for (auto& link : parts.ddeLinks) {
        if (mqtt)
            link = std::make_unique<MqttDdeLink>(*mqtt);
        else
            link = std::make_unique<DbusDdeLink>(QDBusConnection::sessionBus());
    }
    parts.slinkx = std::make_unique<MpdSlinkControl>();
    parts.callSoft1 = std::make_unique<NcidTelephonyControl>(ncidServerAddressFromEnvironment());
    parts.messageBox = std::move(messageBox);
    return parts;
}

std::unique_ptr<InstanceGuard> makeInstanceGuard(MqttConnection* mqtt) {
    if (mqtt)
        return std::make_unique<MqttInstanceGuard>(*mqtt);
    return nullptr;
}

} // namespace velmor
