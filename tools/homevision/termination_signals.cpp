#include "tools/homevision/termination_signals.h"

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace velmor::homevision {

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
        return;
    m_fd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_fd < 0) {
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

TerminationSignals::~TerminationSignals() {
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void TerminationSignals::readSignal() {
    signalfd_siginfo info{};
    if (::read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        Q_EMIT received(static_cast<int>(info.ssi_signo));
}

} // namespace velmor::homevision
