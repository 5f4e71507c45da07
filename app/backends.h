#pragma once

#include "app/form1_parts.h"
#include "core/instance_guard.h"

namespace velmor {

class QtMessageBox;

// The real outside parties the program runs with. The message box is created by the caller, who owns
// the window it stands over.
[[nodiscard]] Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox);

// What keeps a second copy off the links the parts above open.
[[nodiscard]] std::unique_ptr<InstanceGuard> makeInstanceGuard();

} // namespace velmor
