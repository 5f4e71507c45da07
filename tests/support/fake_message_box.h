#pragma once

#include "hvlink/hv_window.h"
#include "tests/support/call_log.h"

#include <string>

namespace velmor::test {

// The boxes the links' opening shows, as the fake logs them.
inline const std::string NotRunning = "MessageBox HomeVision is not running.  Please start it.";
inline const std::string UnknownError = "MessageBox Unknown error opening DDE link";

class FakeMessageBox : public MessageBox {
public:
    explicit FakeMessageBox(CallLog& log)
        : m_log(log) {}
    void show(const QString& text) override { m_log.add(QStringLiteral("MessageBox ") + text); }

private:
    CallLog& m_log;
};

} // namespace velmor::test
