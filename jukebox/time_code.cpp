#include "jukebox/time_code.h"

namespace velmor {

QString timeCode(const QString& pair) {
    const QString digits = pair.left(2);
    qsizetype i = 0;
    while (i < digits.size() && digits.at(i) == QLatin1Char(' '))
        ++i;
    // Only ASCII digits count; a sign or a decimal point ends the number like any other character.
    int value = 0;
    for (; i < digits.size() && digits.at(i) >= QLatin1Char('0') && digits.at(i) <= QLatin1Char('9'); ++i)
        value = value * 10 + (digits.at(i).unicode() - u'0');
    return QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

} // namespace velmor
