#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

namespace velmor::test {

// Collects every line the program writes through Qt's message functions (qWarning and the like, which
// go to stderr) while it lives, and still passes each one on. One capture at a time.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    [[nodiscard]] QStringList lines() const;
    void clear();

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    static inline MessageCapture* s_active = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable std::mutex m_mutex; // Qt's bus thread may write a line too
    QStringList m_lines;
};

} // namespace velmor::test
