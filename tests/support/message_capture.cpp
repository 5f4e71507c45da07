#include "tests/support/message_capture.h"

namespace velmor::test {

MessageCapture::MessageCapture() {
    Q_ASSERT(s_active == nullptr);
    s_active = this;
    m_previous = qInstallMessageHandler(&MessageCapture::handle);
}

MessageCapture::~MessageCapture() {
    qInstallMessageHandler(m_previous);
    s_active = nullptr;
}

QStringList MessageCapture::lines() const {
    const std::lock_guard lock(m_mutex);
    return m_lines;
}

void MessageCapture::clear() {
    const std::lock_guard lock(m_mutex);
    m_lines.clear();
}

void MessageCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    {
        const std::lock_guard lock(s_active->m_mutex);
        s_active->m_lines.append(message);
    }
    if (s_active->m_previous != nullptr)
        s_active->m_previous(type, context, message);
}

} // namespace velmor::test
