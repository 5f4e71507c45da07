// The now-playing file's bytes and the Windows-1252 text behind them.
//
// A field of n UTF-16 code units holding p well-formed surrogate pairs takes n - p bytes: each pair
// is one character with no Windows-1252 byte and becomes one "?", and so does a lone surrogate. The
// file is the 99 bytes of its fixed text and ten line ends plus the bytes of the four fields.
#include "fuzz/fuzz_support.h"
#include "jukebox/now_playing_file.h"
#include "jukebox/windows1252.h"

namespace {

using velmor::fuzz::require;

constexpr qsizetype FixedBytes = 99;

qsizetype surrogatePairs(const QString& s) {
    qsizetype pairs = 0;
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i].isHighSurrogate() && s[i + 1].isLowSurrogate()) {
            ++pairs;
            ++i;
        }
    }
    return pairs;
}

bool isUndefinedByte(unsigned char b) {
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Walks text and bytes side by side: every character has exactly one byte, and the byte says what
// it can about the character.
void checkWindows1252(const QString& text) {
    const QByteArray bytes = velmor::toWindows1252(text);
    require(bytes.size() == text.size() - surrogatePairs(text), "one byte per character", text);
    qsizetype k = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++k) {
        const char16_t c = text[i].unicode();
        const auto b = static_cast<unsigned char>(bytes[k]);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            require(b == '?', "a surrogate pair becomes one ?", text);
            ++i;
        } else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            require(b == c, "ASCII and Latin-1 letters keep their number", text);
        } else if (text[i].isSurrogate()) {
            require(b == '?', "a lone surrogate becomes ?", text);
        } else if (b != '?') {
            require(b >= 0x80 && b <= 0x9F, "other characters take a byte of 0x80 to 0x9F or ?", text);
            require(!isUndefinedByte(b) || c == b, "an undefined byte stands only for its control", text);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArrayView> parts = velmor::fuzz::eventsOf(velmor::fuzz::bytesOf(data, size));
    QString fields[4];
    for (qsizetype i = 0; i < std::min<qsizetype>(4, parts.size()); ++i)
        fields[i] = velmor::fuzz::textOf(parts[i]);
    const velmor::TrackInfo track{fields[0], fields[1], fields[2], fields[3]};
    const QString shown = fields[0] + QLatin1Char('|') + fields[1] + QLatin1Char('|') + fields[2] +
                          QLatin1Char('|') + fields[3];

    const QByteArray content = velmor::nowPlayingFileContent(track);
    qsizetype expected = FixedBytes;
    for (const QString& f : fields)
        expected += f.size() - surrogatePairs(f);
    require(content.size() == expected, "the file is 99 bytes plus the fields' bytes", shown);
    require(content.startsWith(" ' Current Track Info '\r\n\r\n" + velmor::toWindows1252(track.trackTitle) +
                               "\r\n\r\nTrack Time: "),
            "the file opens with its heading and the track title", shown);
    require(content.endsWith("\r\nA:" + velmor::toWindows1252(track.artist) + "\r\n\r\n"),
            "the file closes with the artist and an empty line", shown);
    for (const QString& f : fields)
        checkWindows1252(f);
    return 0;
}
