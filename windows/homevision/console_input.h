#pragma once

#include "windows/common/thread_mailbox.h"

#include <memory>
#include <string>

namespace velmor::homevision {

// One line of standard input, or its end.
struct InputLine {
    std::string text;
    bool ended = false;
};

using InputMailbox = windows::ThreadMailbox<InputLine>;

// Reads standard input, a console or a pipe alike, on a thread of its own (a blocking read must not
// hold up DDEML's message loop) and hands each line to the mailbox in UTF-8. The thread lives until
// the input ends or the process does.
void readInputLines(std::shared_ptr<InputMailbox> mailbox);

} // namespace velmor::homevision
