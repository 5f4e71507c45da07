#pragma once

#include <QString>

#include <optional>

namespace velmor {

// Where the caller-ID server listens. NCID's own clients default to this host and port.
struct NcidServerAddress {
    static constexpr quint16 DefaultPort = 3333;

    QString host = QStringLiteral("127.0.0.1");
    quint16 port = DefaultPort;

    friend bool operator==(const NcidServerAddress&, const NcidServerAddress&) = default;
};

// A TCP port from its decimal text, 1 to 65535; blanks around it are allowed.
[[nodiscard]] std::optional<quint16> parseNcidPort(const QString& text);

// The server named by NCID_HOST and NCID_PORT, with the defaults for what is unset or blank.
// A port that cannot be read is reported once on stderr and the default is used.
[[nodiscard]] NcidServerAddress ncidServerAddressFromEnvironment();

} // namespace velmor
