#include "windows/relay/relay_log.h"

#include "windows/common/wide_text.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

namespace velmor::relay {

namespace {

std::string stamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

// A console shows UTF-16 correctly whatever its code page; a file or pipe takes the UTF-8 bytes.
void writeStandardError(const std::string& line) {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode) != 0) {
        const std::wstring wide = windows::wideFromUtf8(line);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

} // namespace

RelayLog::~RelayLog() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool RelayLog::alsoTo(const std::string& path, std::string& why) {
    std::FILE* file = _wfopen(windows::wideFromUtf8(path).c_str(), L"ab");
    if (file == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    const std::lock_guard lock(m_mutex);
    if (m_file != nullptr)
        std::fclose(m_file);
    m_file = file;
    return true;
}

void RelayLog::write(std::string_view text) {
    const std::string line = stamp() + "velmor-dde-relay: " + std::string(text) + "\r\n";
    const std::lock_guard lock(m_mutex);
    writeStandardError(line);
    if (m_file != nullptr) {
        std::fwrite(line.data(), 1, line.size(), m_file);
        std::fflush(m_file);
    }
}

} // namespace velmor::relay
