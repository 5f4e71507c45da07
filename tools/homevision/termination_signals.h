#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace velmor::homevision {

// SIGINT and SIGTERM as an event of the event loop, read from a signalfd, so that the stand-in ends
// the way it ends at the end of its input. Construct it before any thread starts (the bus starts
// one): the signals are blocked here, and threads inherit that.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    [[nodiscard]] bool isWatching() const { return m_fd >= 0; }

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readSignal();

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace velmor::homevision
