#include "windows/common/windows_1252.h"

#include "core/windows1252_code_page.h"

namespace velmor::windows {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at `at` and its length in bytes; nothing for a byte that starts no
// well-formed sequence, which then counts as one byte.
bool decodeUtf8(std::string_view text, std::size_t at, char32_t& c, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80) {
        c = lead;
        return true;
    }
    std::size_t count = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 1, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3, c = lead & 0x07, smallest = 0x10000;
    } else {
        return false;
    }
    if (at + count >= text.size())
        return false;
    for (std::size_t i = 1; i <= count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    length = count + 1;
    return true;
}

} // namespace

std::string windows1252FromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    char32_t c = 0;
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length)
        bytes += decodeUtf8(utf8, at, c, length) ? windows1252::byteFor(c) : '?';
    return bytes;
}

std::string utf8FromWindows1252(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char byte : bytes)
        appendUtf8(utf8, windows1252::characterFor(static_cast<unsigned char>(byte)));
    return utf8;
}

} // namespace velmor::windows
