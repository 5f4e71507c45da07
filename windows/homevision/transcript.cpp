#include "windows/homevision/transcript.h"

#include <windows.h>

namespace velmor::homevision {

namespace {

std::string utcTime() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::string localTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u  ", now.wHour, now.wMinute, now.wSecond,
                  now.wMilliseconds);
    return text;
}

} // namespace

std::string jsonString(const std::string& utf8) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                quoted += "\\u00";
                quoted += Hex[(c >> 4) & 0xF];
                quoted += Hex[c & 0xF];
            } else {
                quoted += c;
            }
        }
    }
    return quoted + '"';
}

Transcript::Transcript(bool json, std::FILE* out)
    : m_json(json)
    , m_out(out) {}

void Transcript::received(const std::string& call, const std::string& item, const std::string& value) {
    write("received", call, item, value);
}

void Transcript::sent(const std::string& item, const std::string& value) {
    write("sent", "ItemChanged", item, value);
}

void Transcript::write(const std::string& direction, const std::string& call, const std::string& item,
                       const std::string& value) {
    // Only pokes and changes carry a value, and only Initiate carries no item.
    const bool hasItem = call != "Initiate";
    const bool hasValue = call == "Poke" || call == "ItemChanged";
    std::string line;
    if (m_json) {
        // The keys in Qt's order, so that both stand-ins write the same bytes.
        line = "{\"call\":" + jsonString(call) + ",\"direction\":" + jsonString(direction);
        if (hasItem)
            line += ",\"item\":" + jsonString(item);
        line += ",\"time\":" + jsonString(utcTime());
        if (hasValue)
            line += ",\"value\":" + jsonString(value);
        line += '}';
    } else {
        line = localTime() + direction + std::string(10 - direction.size(), ' ') + call;
        if (hasItem)
            line += ' ' + item;
        if (hasValue)
            line += " = \"" + value + '"';
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_out);
    std::fflush(m_out);
}

} // namespace velmor::homevision
