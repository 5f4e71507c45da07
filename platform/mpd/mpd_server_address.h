#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmor {

// Where MPD is reached. What is left empty, libmpdclient fills in its own way: the default socket or
// localhost for the host, 6600 for the port.
struct MpdServerAddress {
    static constexpr quint16 DefaultPort = 6600;

    QByteArray host;  // as MPD_HOST gives it, "password@" included; empty for the library's default
    quint16 port = 0; // 0 for the library's default

    friend bool operator==(const MpdServerAddress&, const MpdServerAddress&) = default;
};

// The address with a word on anything that could not be used as it stands.
struct CheckedMpdServerAddress {
    MpdServerAddress address;
    std::optional<QString> warning; // one line naming the variable, its value and what is used instead
};

// The address from the values of MPD_HOST and MPD_PORT (nothing for a variable that is not set).
// A port must be 1 to 65535 in decimal, blanks around it allowed; any other value, an empty one
// included, is replaced by the default port, and the warning says so.
[[nodiscard]] CheckedMpdServerAddress checkMpdServerAddress(const std::optional<QString>& host,
                                                            const std::optional<QString>& port);

// The address from the environment, its warning, if any, written once on stderr.
[[nodiscard]] MpdServerAddress mpdServerAddressFromEnvironment();

} // namespace velmor
