// Time codes: always two capital hexadecimal digits for the number the first two characters start with.
#include "fuzz/fuzz_support.h"
#include "jukebox/time_code.h"

namespace {

using velmor::fuzz::require;

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The number the pair stands for, read the plain way: blanks first, then at most two digits.
int valueOf(const QString& pair) {
    const QChar a = pair.size() > 0 ? pair[0] : QChar();
    const QChar b = pair.size() > 1 ? pair[1] : QChar();
    if (a == QLatin1Char(' '))
        return isAsciiDigit(b) ? b.unicode() - u'0' : 0;
    if (!isAsciiDigit(a))
        return 0;
    return isAsciiDigit(b) ? (a.unicode() - u'0') * 10 + (b.unicode() - u'0') : a.unicode() - u'0';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString pair = velmor::fuzz::textOf(velmor::fuzz::bytesOf(data, size));
    const QString code = velmor::timeCode(pair);
    require(code.size() == 2, "a time code has two characters", pair);
    for (const QChar c : code) {
        require(isAsciiDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')),
                "a time code is capital hexadecimal", pair);
    }
    require(code.toInt(nullptr, 16) == valueOf(pair), "a time code is the number the pair starts with", pair);
    require(code == velmor::timeCode(pair.left(2)), "only the first two characters count", pair);
    return 0;
}
