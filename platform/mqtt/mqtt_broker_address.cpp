#include "platform/mqtt/mqtt_broker_address.h"

#include "platform/mqtt/broker_url.h"

namespace velmor {

namespace {

BrokerUrl toBrokerUrl(const MqttBrokerAddress& address) {
    return {address.tls,
            address.host.toStdString(),
            address.port,
            address.user.toStdString(),
            address.password.toStdString(),
            address.hasPassword};
}

} // namespace

QString describeBroker(const MqttBrokerAddress& address) {
    return QString::fromStdString(describeBrokerUrl(toBrokerUrl(address)));
}

MqttAddressParse parseMqttBrokerAddress(const QString& value) {
    const BrokerUrlParse parsed = parseBrokerUrl(value.toStdString(), "VELMOR_MQTT");
    if (const auto* problem = std::get_if<BrokerUrlProblem>(&parsed))
        return MqttAddressProblem{QString::fromStdString(problem->text)};
    const auto& url = std::get<BrokerUrl>(parsed);
    return MqttBrokerAddress{url.tls,
                             QString::fromStdString(url.host),
                             url.port,
                             QString::fromStdString(url.user),
                             QString::fromStdString(url.password),
                             url.hasPassword};
}

void PrintTo(const MqttBrokerAddress& address, std::ostream* out) {
    PrintTo(toBrokerUrl(address), out);
}

} // namespace velmor
