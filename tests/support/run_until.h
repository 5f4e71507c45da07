#pragma once

#include <functional>

namespace velmor::test {

// Runs the event loop as the program does, idle until something happens, until the condition holds
// (looked at every 20 ms) or the time is up; whether it holds. QTest::qWaitFor sleeps between turns,
// which would make a burst of events wait on the test rather than on the code under test.
bool runUntil(const std::function<bool()>& condition, int timeoutMs);

} // namespace velmor::test
