#pragma once

#include <QString>

#include <optional>

namespace velmor {

// Where a DDE link topic lives on the bus: application APP answers as the bus name org.velmor.DDE.APP,
// and its topic TOPIC is the object /TOPIC there.
struct DdeTopicAddress {
    QString service;
    QString path;

    friend bool operator==(const DdeTopicAddress&, const DdeTopicAddress&) = default;
};

// Splits "APP|TOPIC" at the first bar. Empty when either half cannot be carried by a bus name or an
// object path (letters, digits and "_"; "-" too in the application, which must not start with a digit).
[[nodiscard]] std::optional<DdeTopicAddress> ddeTopicAddress(const QString& linkTopic);

} // namespace velmor
