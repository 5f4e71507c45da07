#pragma once

#include <QString>

#include <ostream>
#include <variant>

namespace velmor {

// The broker named by VELMOR_MQTT: mqtt://[USER[:PASSWORD]@]HOST[:PORT] or mqtts://... (TLS), in Qt's
// text; the reading itself is broker_url.h's, which the Windows relay shares.
struct MqttBrokerAddress {
    static constexpr quint16 PlainPort = 1883;
    static constexpr quint16 TlsPort = 8883;

    bool tls = false;
    // Without the brackets of an IPv6 literal.
    QString host;
    quint16 port = PlainPort;
    // Decoded; empty user means no login.
    QString user;
    QString password;
    bool hasPassword = false;

    friend bool operator==(const MqttBrokerAddress&, const MqttBrokerAddress&) = default;
};

// Names the broker for messages: scheme, user, host and port, never the password.
[[nodiscard]] QString describeBroker(const MqttBrokerAddress& address);

// Why a value names no broker; the text names the variable but never repeats the password.
struct MqttAddressProblem {
    QString text;

    friend bool operator==(const MqttAddressProblem&, const MqttAddressProblem&) = default;
};

using MqttAddressParse = std::variant<MqttBrokerAddress, MqttAddressProblem>;

// Reads the value of VELMOR_MQTT. User and password may be percent-encoded.
[[nodiscard]] MqttAddressParse parseMqttBrokerAddress(const QString& value);

// For test output: the description, never the password.
void PrintTo(const MqttBrokerAddress& address, std::ostream* out);

} // namespace velmor
