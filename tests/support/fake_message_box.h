#pragma once

#include "hvlink/hv_window.h"
#include "tests/support/call_log.h"

namespace velmor::test {

class FakeMessageBox : public MessageBox {
public:
    explicit FakeMessageBox(CallLog& log)
        : m_log(log) {}
    void show(const QString& text) override { m_log.add(QStringLiteral("MessageBox ") + text); }

private:
    CallLog& m_log;
};

} // namespace velmor::test
