#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <memory>

namespace velmor {

// SIGINT, SIGTERM and SIGHUP, delivered on the event loop instead of ending the process where it stands,
// so that a terminal's Ctrl-C, a supervisor's stop or the closing of the terminal it was started from
// ends a program the ordinary way.
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
    static constexpr std::array<int, 3> HandledSignals{SIGINT, SIGTERM, SIGHUP};

    // What each handled signal did before, put back when this object ends.
    std::array<struct sigaction, HandledSignals.size()> m_previous = {};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace velmor
