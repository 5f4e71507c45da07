#pragma once

#include <functional>

class QWidget;

namespace velmor {

class InstanceGuard;

// Claims this copy's place. When another copy already runs on the same link, asks it to show its
// window, prints one line saying so and returns true: this copy must then end, having touched nothing.
// While the place does not answer, it says so once and asks again, until it answers or a stop is asked
// for (true as well).
[[nodiscard]] bool handOverToRunningCopy(InstanceGuard& guard, const std::function<bool()>& stopAsked);

// Brings the window to the front whenever a later copy asks for it.
void showWindowOnRequest(InstanceGuard& guard, QWidget& window);

} // namespace velmor
