#include "windows/common/windows_1252.h"

#include <algorithm>
#include <array>

namespace velmor::windows {

namespace {

// The characters of the bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves undefined stand for
// the control characters of the same number, the way Windows itself converts them both ways.
constexpr std::array<char32_t, 32> HighControlBlock{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char byteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto found = std::find(HighControlBlock.begin(), HighControlBlock.end(), c);
    return found == HighControlBlock.end() ? '?'
                                           : static_cast<char>(0x80 + (found - HighControlBlock.begin()));
}

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
        bytes += decodeUtf8(utf8, at, c, length) ? byteFor(c) : '?';
    return bytes;
}

std::string utf8FromWindows1252(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        appendUtf8(utf8, b >= 0x80 && b <= 0x9F ? HighControlBlock[b - 0x80] : char32_t{b});
    }
    return utf8;
}

} // namespace velmor::windows
