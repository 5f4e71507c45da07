#include "platform/posix/termination_signals.h"

#include "core/log_categories.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace velmor {

namespace {

// The one thing a signal handler may touch: the write end of the pair, set before any handler.
volatile std::sig_atomic_t g_signalFd = -1;

extern "C" void onTerminationSignal(int number) {
    const unsigned char byte = static_cast<unsigned char>(number);
    if (g_signalFd >= 0) [[maybe_unused]]
        const ssize_t written = ::write(g_signalFd, &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0) {
        qCWarning(lcApp, "no socket pair for signals; SIGINT, SIGTERM and SIGHUP end the program at once");
        return;
    }
    g_signalFd = m_fds[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_fds[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < HandledSignals.size(); ++i) {
        sigaction(HandledSignals[i], nullptr, &m_previous[i]);
        // Started under nohup: whoever started it asked for it to outlive its terminal.
        if (HandledSignals[i] == SIGHUP && m_previous[i].sa_handler == SIG_IGN)
            continue;
        sigaction(HandledSignals[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (m_fds[0] < 0)
        return;
    for (std::size_t i = 0; i < HandledSignals.size(); ++i)
        sigaction(HandledSignals[i], &m_previous[i], nullptr);
    g_signalFd = -1;
    m_notifier.reset();
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void TerminationSignals::readSignal() {
    unsigned char byte = 0;
    if (::read(m_fds[1], &byte, 1) == 1)
        Q_EMIT received(byte);
}

} // namespace velmor
