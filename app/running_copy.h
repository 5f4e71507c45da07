#pragma once

class QWidget;

namespace velmor {

class InstanceGuard;

// Claims this copy's place. When another copy already runs on the same link, asks it to show its
// window, prints one line saying so and returns true: this copy must then end, having touched nothing.
[[nodiscard]] bool handOverToRunningCopy(InstanceGuard& guard);

// Brings the window to the front whenever a later copy asks for it.
void showWindowOnRequest(InstanceGuard& guard, QWidget& window);

} // namespace velmor
