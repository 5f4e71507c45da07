#pragma once

#include <QByteArray>
#include <QStringView>

namespace velmor {

// One byte per character in Windows-1252, the code page the now-playing file's readers expect. A
// character with no byte there, a surrogate pair included, becomes one "?".
[[nodiscard]] QByteArray toWindows1252(QStringView text);

} // namespace velmor
