#include "app/bidi_safe_text.h"

#include <algorithm>

namespace velmor {

namespace {

bool isExplicitBidiControl(QChar c) {
    const char16_t unit = c.unicode();
    return (unit >= u'\u202A' && unit <= u'\u202E') || (unit >= u'\u2066' && unit <= u'\u2069');
}

} // namespace

QString bidiSafeText(const QString& value) {
    // Almost every text holds none: no copy then.
    if (std::none_of(value.begin(), value.end(), isExplicitBidiControl))
        return value;
    QString shown = value;
    shown.removeIf(isExplicitBidiControl);
    return shown;
}

} // namespace velmor
