#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace velmor::relay {

// The relay's log: one line per event, stamped with the local date and time, on standard error and,
// when asked, appended to a file as well (a relay started from the Startup folder has no console to
// read). Any thread may write; each line goes out whole and at once.
class RelayLog {
public:
    RelayLog() = default;
    ~RelayLog();
    RelayLog(const RelayLog&) = delete;
    RelayLog& operator=(const RelayLog&) = delete;

    // Appends to the file (UTF-8 name) from now on; false, and why, when it cannot be opened.
    [[nodiscard]] bool alsoTo(const std::string& path, std::string& why);
    void write(std::string_view text);

private:
    std::mutex m_mutex;
    std::FILE* m_file = nullptr;
};

} // namespace velmor::relay
