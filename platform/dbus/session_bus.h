#pragma once

#include <QDBusConnection>

namespace velmor {

// The session bus the DDE links talk over. When it cannot be used, says so once on stderr, naming the
// address that was tried and giving the bus's own reason: the links then fail at their first step like
// any missing HomeVision, and without this line nothing would tell the two apart.
[[nodiscard]] QDBusConnection sessionBus();

} // namespace velmor
