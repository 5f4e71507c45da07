#include "platform/mqtt/broker_url.h"

#include <algorithm>
#include <optional>

namespace velmor {

namespace {

BrokerUrlProblem problem(std::string_view subject, std::string_view why) {
    std::string text(subject);
    text += " names no MQTT broker: ";
    text += why;
    text += " (expected mqtt://[USER[:PASSWORD]@]HOST[:PORT] or mqtts://...)";
    return {text};
}

std::string quoted(std::string_view text) {
    return '"' + std::string(text) + '"';
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : c - 'A' + 10;
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code point that starts at `at`, and how many bytes it takes; nothing for a byte that starts no
// well-formed sequence, which then counts as one byte.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80)
        return lead;
    std::size_t count = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 1, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3, value = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + count >= text.size())
        return std::nullopt;
    for (std::size_t i = 1; i <= count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    length = count + 1;
    return value;
}

bool isWellFormedUtf8(std::string_view text) {
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        if (!decodeUtf8(text, at, length))
            return false;
    }
    return true;
}

// Unicode's separators and the blanks among the control characters.
bool isBlank(char32_t c) {
    return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Percent-decoding of user and password; nothing on a "%" not followed by two hex digits or on bytes
// that are not UTF-8.
std::optional<std::string> percentDecode(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
            return std::nullopt;
        decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
        i += 2;
    }
    if (!isWellFormedUtf8(decoded))
        return std::nullopt;
    return decoded;
}

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isAsciiDigit(c) || c == '-' || c == '.' ||
           c == '_';
}

bool isIpv6Character(char c) {
    return isHexDigit(c) || c == ':' || c == '.';
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return result;
}

} // namespace

std::string describeBrokerUrl(const BrokerUrl& url) {
    std::string text = url.tls ? "mqtts://" : "mqtt://";
    if (!url.user.empty())
        text += url.user + '@';
    text += url.host.find(':') != std::string::npos ? '[' + url.host + ']' : url.host;
    return text + ':' + std::to_string(url.port);
}

BrokerUrlParse parseBrokerUrl(std::string_view value, std::string_view subject) {
    if (value.empty())
        return problem(subject, "the value is empty");
    for (std::size_t at = 0, length = 0; at < value.size(); at += length) {
        const std::optional<char32_t> c = decodeUtf8(value, at, length);
        if (c && isBlank(*c))
            return problem(subject, "it holds a blank");
        if (c && isControl(*c))
            return problem(subject, "it holds a control character");
    }

    BrokerUrl url;
    const std::size_t schemeEnd = value.find("://");
    if (schemeEnd == std::string_view::npos)
        return problem(subject, "it does not start with mqtt:// or mqtts://");
    const std::string scheme = lowered(value.substr(0, schemeEnd));
    if (scheme == "mqtts") {
        url.tls = true;
        url.port = BrokerUrl::TlsPort;
    } else if (scheme != "mqtt") {
        return problem(subject, "unknown scheme " + quoted(value.substr(0, schemeEnd)));
    }

    std::string_view rest = value.substr(schemeEnd + 3);
    // A trailing slash is what a browser-style URL often carries; anything after it is not ours.
    if (rest.ends_with('/'))
        rest.remove_suffix(1);
    if (rest.find_first_of("/?#") != std::string_view::npos)
        return problem(subject, "it holds a path, query or fragment after the host");

    // The last "@" ends the login, so an unencoded "@" in a password still reads as meant.
    const std::size_t at = rest.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view login = rest.substr(0, at);
        rest = rest.substr(at + 1);
        const std::size_t colon = login.find(':');
        const std::string_view user = login.substr(0, colon);
        if (user.empty())
            return problem(subject, "the user name before \"@\" is empty");
        const auto decodedUser = percentDecode(user);
        if (!decodedUser)
            return problem(subject, "the user name holds a bad percent escape");
        url.user = *decodedUser;
        if (colon != std::string_view::npos) {
            url.hasPassword = true;
            const auto decodedPassword = percentDecode(login.substr(colon + 1));
            if (!decodedPassword)
                return problem(subject, "the password holds a bad percent escape");
            url.password = *decodedPassword;
        }
    }

    std::string_view portText;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos)
            return problem(subject, "an IPv6 address lacks its closing \"]\"");
        const std::string_view host = rest.substr(1, close - 1);
        if (host.empty() || host.find(':') == std::string_view::npos ||
            !std::all_of(host.begin(), host.end(), isIpv6Character))
            return problem(subject, quoted(host) + " is not an IPv6 address");
        url.host = host;
        rest = rest.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            return problem(subject, "only a port may follow an IPv6 address");
        if (rest.size() == 1)
            return problem(subject, "the port after \":\" is missing");
        if (!rest.empty())
            portText = rest.substr(1);
    } else {
        const std::size_t colon = rest.find(':');
        const std::string_view host = rest.substr(0, colon);
        if (host.empty())
            return problem(subject, "the host is missing");
        if (!std::all_of(host.begin(), host.end(), isHostCharacter))
            return problem(subject, quoted(host) + " is not a host name");
        url.host = host;
        if (colon != std::string_view::npos) {
            portText = rest.substr(colon + 1);
            if (portText.empty())
                return problem(subject, "the port after \":\" is missing");
        }
    }

    if (!portText.empty()) {
        if (!std::all_of(portText.begin(), portText.end(), isAsciiDigit))
            return problem(subject, "the port is not a number");
        unsigned long port = 0;
        for (const char digit : portText) {
            port = port * 10 + static_cast<unsigned long>(digit - '0');
            if (port > 65535)
                break;
        }
        if (port == 0 || port > 65535)
            return problem(subject, "the port is not between 1 and 65535");
        url.port = static_cast<std::uint16_t>(port);
    }
    return url;
}

void PrintTo(const BrokerUrl& url, std::ostream* out) {
    *out << describeBrokerUrl(url) << (url.hasPassword ? " (with a password)" : "");
}

} // namespace velmor
