#include "windows/homevision/console_input.h"

#include "windows/common/wide_text.h"

#include <thread>

namespace velmor::homevision {

namespace {

// Whole lines from what was read so far; the rest waits for more.
void handOverLines(std::string& pending, InputMailbox& mailbox) {
    std::size_t end = 0;
    while ((end = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        mailbox.put({std::move(line)});
        pending.erase(0, end + 1);
    }
}

void readAll(const std::shared_ptr<InputMailbox>& mailbox) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    DWORD mode = 0;
    // A console hands out its own code page through ReadFile; asked in UTF-16 it hands out everything.
    const bool console = GetConsoleMode(input, &mode) != 0;
    while (true) {
        DWORD count = 0;
        if (console) {
            wchar_t buffer[1024];
            if (ReadConsoleW(input, buffer, 1024, &count, nullptr) == 0 || count == 0)
                break;
            pending += windows::utf8FromWide(std::wstring_view(buffer, count));
        } else {
            char buffer[4096];
            if (ReadFile(input, buffer, sizeof buffer, &count, nullptr) == 0 || count == 0)
                break;
            pending.append(buffer, count);
        }
        handOverLines(pending, *mailbox);
    }
    // A last line without its line end is a line all the same.
    if (!pending.empty())
        mailbox->put({pending});
    mailbox->put({{}, true});
}

} // namespace

void readInputLines(std::shared_ptr<InputMailbox> mailbox) {
    std::thread(readAll, std::move(mailbox)).detach();
}

} // namespace velmor::homevision
