#include "jukebox/windows1252.h"

#include "core/windows1252_code_page.h"

namespace velmor {

QByteArray toWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        bytes.append(windows1252::byteFor(c.unicode()));
    }
    return bytes;
}

} // namespace velmor
