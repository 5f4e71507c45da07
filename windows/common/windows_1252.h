#pragma once

#include <string>
#include <string_view>

namespace velmor::windows {

// DDE's CF_TEXT as HomeVision speaks it is Windows-1252, one byte per character; the broker carries
// UTF-8. A character with no byte in Windows-1252 becomes one "?", as in Velmor's now-playing file,
// and so does each byte of UTF-8 that is not well-formed.
[[nodiscard]] std::string windows1252FromUtf8(std::string_view utf8);
[[nodiscard]] std::string utf8FromWindows1252(std::string_view bytes);

} // namespace velmor::windows
