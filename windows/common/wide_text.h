#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmor::windows {

// Win32 speaks UTF-16; everything else here is UTF-8. A sequence that is not well-formed becomes
// U+FFFD, as Windows converts it.
[[nodiscard]] std::wstring wideFromUtf8(std::string_view text);
[[nodiscard]] std::string utf8FromWide(std::wstring_view text);

// The program's command line as Windows splits it, without the program's name, in UTF-8.
[[nodiscard]] std::vector<std::string> commandLineArguments();

} // namespace velmor::windows
