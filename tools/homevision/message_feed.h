#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

namespace velmor::homevision {

// HomeVision's messages to its client, one at a time: the next goes out only when the previous was
// acknowledged, or when the acknowledgement is overdue. Nothing goes out until a client listens.
class MessageFeed : public QObject {
    Q_OBJECT
public:
    explicit MessageFeed(int ackTimeoutMs, QObject* parent = nullptr);

    void add(const QString& message);
    // No more messages will be added.
    void endOfInput();
    // A client listens to the messages now.
    void clientListens();
    void acknowledged();

Q_SIGNALS:
    void deliver(const QString& message);
    void acknowledgementOverdue(const QString& message);
    // Every message went out and had its answer (or its time-out), and no more will come.
    void finished();

private:
    void next();
    void overdue();

    std::deque<QString> m_queue;
    QString m_awaiting;
    QTimer m_ackTimer;
    bool m_clientListens = false;
    bool m_awaitingAck = false;
    bool m_inputEnded = false;
    bool m_finished = false;
};

} // namespace velmor::homevision
