#include "jukebox/slink_control.h"

namespace velmor {

// Defined here so that the interface's virtual table has one home.
SlinkControl::~SlinkControl() = default;

} // namespace velmor
