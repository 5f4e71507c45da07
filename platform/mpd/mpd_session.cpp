#include "platform/mpd/mpd_session.h"

#include "core/log_categories.h"

#include <QSocketNotifier>

#include <poll.h>

namespace velmor {

namespace {

// Every wait on MPD, connecting included, gives up after this long.
constexpr unsigned TimeoutMs = 1000;

// A notifier's activation may be stale by the time it is handled (a request in between read what had
// arrived); reading then would wait out the whole time-out.
bool hasInput(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
}

} // namespace

MpdSession::MpdSession(MpdServerAddress server, QObject* parent)
    : QObject(parent)
    , m_server(std::move(server)) {
    connect(&m_backoff, &ReconnectBackoff::retryDue, this, &MpdSession::connectNow);
}

MpdSession::~MpdSession() = default;

void MpdSession::start() {
    if (m_started)
        return;
    m_started = true;
    QTimer::singleShot(0, this, &MpdSession::connectNow);
}

void MpdSession::connectNow() {
    MpdConnectionHandle connection(mpd_connection_new(
        m_server.host.isEmpty() ? nullptr : m_server.host.constData(), m_server.port, TimeoutMs));
    const MpdOutcome outcome = connection
                                   ? takeOutcome(*connection)
                                   : MpdOutcome{MpdOutcome::Kind::Lost, QStringLiteral("out of memory")};
    if (!outcome.done()) {
        if (m_backoff.retryLater())
            qCWarning(lcJukebox, "cannot reach MPD (%s); trying again", qUtf8Printable(outcome.reason));
        Q_EMIT connectFailed();
        return;
    }
    if (m_backoff.connected())
        qCInfo(lcJukebox, "connected to MPD");
    mpd_connection_set_timeout(connection.get(), TimeoutMs);
    m_connection = std::move(connection);
    m_notifier = std::make_unique<QSocketNotifier>(mpd_connection_get_fd(m_connection.get()),
                                                   QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &MpdSession::onReadable);
    m_idle = false;
    Q_EMIT connected();
    if (m_connection && !m_idle)
        enterIdle();
}

void MpdSession::drop(const QString& reason) {
    if (m_backoff.retryLater())
        qCWarning(lcJukebox, "lost the connection to MPD (%s); reconnecting", qUtf8Printable(reason));
    if (m_notifier) {
        // This may run inside the notifier's own activation.
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    m_connection.reset();
    m_idle = false;
    Q_EMIT connectionLost();
}

MpdOutcome MpdSession::run(const std::function<void(mpd_connection&)>& work) {
    if (!m_connection)
        return {MpdOutcome::Kind::NotConnected, QStringLiteral("not connected to MPD")};
    if (MpdOutcome left = leaveIdle(); !left.done())
        return left;
    work(*m_connection);
    MpdOutcome outcome = takeOutcome(*m_connection);
    if (outcome.kind == MpdOutcome::Kind::Lost) {
        drop(outcome.reason);
        return outcome;
    }
    enterIdle();
    return outcome;
}

MpdOutcome MpdSession::leaveIdle() {
    if (!m_idle)
        return {};
    m_notifier->setEnabled(false);
    m_idle = false;
    const mpd_idle events = mpd_run_noidle(m_connection.get());
    MpdOutcome outcome = takeOutcome(*m_connection);
    if (!outcome.done()) {
        outcome.kind = MpdOutcome::Kind::Lost;
        drop(outcome.reason);
        return outcome;
    }
    // The changes that arrived with leaving idle mode are MPD's only word on them; they are handled
    // once the request in hand is over, not inside it.
    if ((events & MPD_IDLE_PLAYER) != 0) {
        QTimer::singleShot(0, this, [this] {
            if (m_connection)
                Q_EMIT playerChanged();
        });
    }
    return outcome;
}

void MpdSession::enterIdle() {
    if (!mpd_send_idle_mask(m_connection.get(), MPD_IDLE_PLAYER)) {
        drop(takeOutcome(*m_connection).reason);
        return;
    }
    m_idle = true;
    m_notifier->setEnabled(true);
}

void MpdSession::onReadable() {
    if (!m_connection || !m_idle || !hasInput(mpd_connection_get_fd(m_connection.get())))
        return;
    m_notifier->setEnabled(false);
    m_idle = false;
    const mpd_idle events = mpd_recv_idle(m_connection.get(), false);
    const MpdOutcome outcome = takeOutcome(*m_connection);
    if (!outcome.done()) {
        drop(outcome.reason);
        return;
    }
    if ((events & MPD_IDLE_PLAYER) != 0)
        Q_EMIT playerChanged();
    if (m_connection && !m_idle)
        enterIdle();
}

} // namespace velmor
