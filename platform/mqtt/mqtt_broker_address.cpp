#include "platform/mqtt/mqtt_broker_address.h"

#include <QByteArray>

namespace velmor {

namespace {

const QString Variable = QStringLiteral("VELMOR_MQTT");

MqttAddressProblem problem(const QString& why) {
    return {Variable + QStringLiteral(" names no MQTT broker: ") + why +
            QStringLiteral(" (expected mqtt://[USER[:PASSWORD]@]HOST[:PORT] or mqtts://...)")};
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Percent-decoding of user and password; false on a "%" not followed by two hex digits or on bytes
// that are not UTF-8.
bool percentDecode(QStringView text, QString& decoded) {
    const QByteArray bytes = text.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' &&
            (i + 2 >= bytes.size() || !isHexDigit(bytes[i + 1]) || !isHexDigit(bytes[i + 2])))
            return false;
    }
    const QByteArray raw = QByteArray::fromPercentEncoding(bytes);
    decoded = QString::fromUtf8(raw);
    return decoded.toUtf8() == raw;
}

bool isHostCharacter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
           c == QLatin1Char('.') || c == QLatin1Char('_');
}

bool isIpv6Character(QChar c) {
    return isHexDigit(static_cast<char>(c.unicode() < 128 ? c.unicode() : 0)) || c == QLatin1Char(':') ||
           c == QLatin1Char('.');
}

} // namespace

QString describeBroker(const MqttBrokerAddress& address) {
    QString text = address.tls ? QStringLiteral("mqtts://") : QStringLiteral("mqtt://");
    if (!address.user.isEmpty())
        text += address.user + QLatin1Char('@');
    text += address.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + address.host + QLatin1Char(']')
                                                    : address.host;
    return text + QLatin1Char(':') + QString::number(address.port);
}

MqttAddressParse parseMqttBrokerAddress(const QString& value) {
    if (value.isEmpty())
        return problem(QStringLiteral("the value is empty"));
    for (QChar c : value) {
        if (c.isSpace())
            return problem(QStringLiteral("it holds a blank"));
        if (c.category() == QChar::Other_Control)
            return problem(QStringLiteral("it holds a control character"));
    }

    MqttBrokerAddress address;
    const qsizetype schemeEnd = value.indexOf(QLatin1String("://"));
    if (schemeEnd < 0)
        return problem(QStringLiteral("it does not start with mqtt:// or mqtts://"));
    const QString scheme = value.left(schemeEnd).toLower();
    if (scheme == QLatin1String("mqtts")) {
        address.tls = true;
        address.port = MqttBrokerAddress::TlsPort;
    } else if (scheme != QLatin1String("mqtt")) {
        return problem(QStringLiteral("unknown scheme \"%1\"").arg(value.left(schemeEnd)));
    }

    QStringView rest = QStringView(value).mid(schemeEnd + 3);
    // A trailing slash is what a browser-style URL often carries; anything after it is not ours.
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('?')) || rest.contains(QLatin1Char('#')))
        return problem(QStringLiteral("it holds a path, query or fragment after the host"));

    // The last "@" ends the login, so an unencoded "@" in a password still reads as meant.
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QStringView login = rest.left(at);
        rest = rest.mid(at + 1);
        const qsizetype colon = login.indexOf(QLatin1Char(':'));
        const QStringView user = colon < 0 ? login : login.left(colon);
        if (user.isEmpty())
            return problem(QStringLiteral("the user name before \"@\" is empty"));
        if (!percentDecode(user, address.user))
            return problem(QStringLiteral("the user name holds a bad percent escape"));
        if (colon >= 0) {
            address.hasPassword = true;
            if (!percentDecode(login.mid(colon + 1), address.password))
                return problem(QStringLiteral("the password holds a bad percent escape"));
        }
    }

    QStringView portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return problem(QStringLiteral("an IPv6 address lacks its closing \"]\""));
        const QStringView host = rest.mid(1, close - 1);
        if (host.isEmpty() || !host.contains(QLatin1Char(':')) ||
            !std::all_of(host.begin(), host.end(), isIpv6Character))
            return problem(QStringLiteral("\"%1\" is not an IPv6 address").arg(host.toString()));
        address.host = host.toString();
        rest = rest.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return problem(QStringLiteral("only a port may follow an IPv6 address"));
        if (!rest.isEmpty())
            portText = rest.mid(1);
        if (rest.size() == 1)
            return problem(QStringLiteral("the port after \":\" is missing"));
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        const QStringView host = colon < 0 ? rest : rest.left(colon);
        if (host.isEmpty())
            return problem(QStringLiteral("the host is missing"));
        if (!std::all_of(host.begin(), host.end(), isHostCharacter))
            return problem(QStringLiteral("\"%1\" is not a host name").arg(host.toString()));
        address.host = host.toString();
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            if (portText.isEmpty())
                return problem(QStringLiteral("the port after \":\" is missing"));
        }
    }

    if (!portText.isEmpty()) {
        if (!std::all_of(portText.begin(), portText.end(),
                         [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
            return problem(QStringLiteral("the port is not a number"));
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return problem(QStringLiteral("the port is not between 1 and 65535"));
        address.port = static_cast<quint16>(port);
    }
    return address;
}

void PrintTo(const MqttBrokerAddress& address, std::ostream* out) {
    *out << describeBroker(address).toStdString() << (address.hasPassword ? " (with a password)" : "");
}

} // namespace velmor
