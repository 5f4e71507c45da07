#pragma once

#include <algorithm>
#include <array>

// Plain C++, so that the Windows relay shares it: Windows-1252, one byte per character, as the
// now-playing file's readers and HomeVision's DDE text both expect it.
namespace velmor::windows1252 {

// The characters of the bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves undefined stand for
// the control characters of the same number, the way Windows itself converts them both ways.
inline constexpr std::array<char32_t, 32> HighControlBlock{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character; "?" for one the code page lacks.
[[nodiscard]] constexpr char byteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto* found = std::find(HighControlBlock.begin(), HighControlBlock.end(), c);
    return found == HighControlBlock.end() ? '?'
                                           : static_cast<char>(0x80 + (found - HighControlBlock.begin()));
}

// The character a byte stands for.
[[nodiscard]] constexpr char32_t characterFor(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? HighControlBlock[byte - 0x80] : char32_t{byte};
}

} // namespace velmor::windows1252
