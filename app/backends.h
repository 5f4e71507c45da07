#pragma once

#include "app/form1_parts.h"

namespace velmor {

// The real outside parties the program runs with. The message box is created by the caller, who owns
// the window it stands over.
[[nodiscard]] Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox);

} // namespace velmor
