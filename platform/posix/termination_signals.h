#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <memory>

namespace velmor {

// SIGINT and SIGTERM, delivered on the event loop instead of ending the process where it stands, so
// that a terminal's Ctrl-C or a supervisor's stop ends a program the ordinary way.
// One instance per process: the signal handler has only a file descriptor to write to.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readSignal();

    int m_fds[2] = {-1, -1};
    struct sigaction m_previousInt = {};
    struct sigaction m_previousTerm = {};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace velmor
