#pragma once

// Plain C++ on purpose: the Windows relay compiles this file too, so that it and Velmor accept and
// refuse exactly the same broker addresses with the same words.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

namespace velmor {

// An MQTT broker named as mqtt://[USER[:PASSWORD]@]HOST[:PORT] or mqtts://... (TLS). Text is UTF-8.
struct BrokerUrl {
    static constexpr std::uint16_t PlainPort = 1883;
    static constexpr std::uint16_t TlsPort = 8883;

    bool tls = false;
    // Without the brackets of an IPv6 literal.
    std::string host;
    std::uint16_t port = PlainPort;
    // Decoded; empty user means no login.
    std::string user;
    std::string password;
    bool hasPassword = false;

    friend bool operator==(const BrokerUrl&, const BrokerUrl&) = default;
};

// Why a value names no broker, as one sentence that names where the value came from but never
// repeats the password.
struct BrokerUrlProblem {
    std::string text;

    friend bool operator==(const BrokerUrlProblem&, const BrokerUrlProblem&) = default;
};

using BrokerUrlParse = std::variant<BrokerUrl, BrokerUrlProblem>;

// Reads a broker address given as `subject` (the variable or argument it came from, which every
// problem text begins with). User and password may be percent-encoded.
[[nodiscard]] BrokerUrlParse parseBrokerUrl(std::string_view value, std::string_view subject);

// Names the broker for messages: scheme, user, host and port, never the password.
[[nodiscard]] std::string describeBrokerUrl(const BrokerUrl& url);

// For test output: the description, never the password.
void PrintTo(const BrokerUrl& url, std::ostream* out);

} // namespace velmor
