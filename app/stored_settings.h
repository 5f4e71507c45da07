#pragma once

#include <QByteArray>

namespace velmor {

// What the window keeps for its two hosted controls and hands them, unchanged, when it creates them.
[[nodiscard]] QByteArray slinkxStoredSettings();
[[nodiscard]] QByteArray callSoft1StoredSettings();

} // namespace velmor
