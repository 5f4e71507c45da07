#pragma once

#include "core/homevision_commands.h"
#include "tests/support/call_log.h"

namespace velmor::test {

// Records "Send_DDE_Command COMMAND" and answers with a chosen status.
class FakeHomeVisionCommands : public HomeVisionCommands {
public:
    explicit FakeHomeVisionCommands(CallLog& log)
        : m_log(log) {}

    qint16 Send_DDE_Command(const QString& command) override {
        m_log.add(QStringLiteral("Send_DDE_Command ") + command);
        return m_status;
    }
    void setStatus(qint16 status) { m_status = status; }

private:
    CallLog& m_log;
    qint16 m_status = 0;
};

} // namespace velmor::test
