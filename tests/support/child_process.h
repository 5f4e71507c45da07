#pragma once

#include <QProcess>

namespace velmor::test {

// Lets a child process end with the test program rather than outlive a crashed test.
void endWithParent(QProcess& process);

// Asks a child to end (SIGTERM), and kills it when it has not ended in time.
void stopChild(QProcess& process, int timeoutMs);

} // namespace velmor::test
