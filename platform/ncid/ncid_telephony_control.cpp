#include "platform/ncid/ncid_telephony_control.h"

#include "platform/ncid/ncid_line.h"

#include <QLoggingCategory>

namespace velmor {

namespace {

Q_LOGGING_CATEGORY(lcNcid, "velmor.ncid", QtInfoMsg)

using namespace std::chrono_literals;

// A host that swallows the connection attempt would otherwise hold it for minutes.
constexpr std::chrono::milliseconds ConnectTimeout = 5s;
// Real lines are a few hundred bytes; a server that never ends its line must not fill the memory.
constexpr qsizetype LongestLine = qsizetype{64} * 1024;

} // namespace

NcidTelephonyControl::NcidTelephonyControl(NcidServerAddress server, QObject* parent)
    : TelephonyControl(parent)
    , m_server(std::move(server))
    // A child, so that whoever holds the control can follow its connection.
    , m_socket(this) {
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(ConnectTimeout);
    connect(&m_backoff, &ReconnectBackoff::retryDue, this, &NcidTelephonyControl::connectToServer);
    connect(&m_connectTimeout, &QTimer::timeout, &m_socket, &QAbstractSocket::abort);
    connect(&m_socket, &QAbstractSocket::stateChanged, this, &NcidTelephonyControl::onStateChanged);
    connect(&m_socket, &QIODevice::readyRead, this, &NcidTelephonyControl::onReadyRead);
}

NcidTelephonyControl::~NcidTelephonyControl() {
    // The socket outlives nothing it reports to: it must not call back while this object dies.
    m_enabled = false;
    m_socket.disconnect(this);
    m_socket.abort();
}

void NcidTelephonyControl::restoreStoredSettings(const QByteArray& /*settings*/) {}

void NcidTelephonyControl::setCallSoftEnable(qint32 value) {
    const bool enable = value != 0;
    if (enable == m_enabled)
        return;
    m_enabled = enable;
    if (enable) {
        m_backoff.stop();
        connectToServer();
        return;
    }
    m_backoff.stop();
    m_connectTimeout.stop();
    m_socket.abort();
    resetConnectionState();
}

void NcidTelephonyControl::connectToServer() {
    if (!m_enabled || m_socket.state() != QAbstractSocket::UnconnectedState)
        return;
    resetConnectionState();
    m_connectTimeout.start();
    m_socket.connectToHost(m_server.host, m_server.port);
}

void NcidTelephonyControl::onStateChanged(QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::ConnectedState) {
        m_connectTimeout.stop();
        // TCP keep-alive notices a server that vanished without closing the connection.
        m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        qCInfo(lcNcid, "connected to the caller-ID server at %s:%u", qUtf8Printable(m_server.host),
               unsigned{m_server.port});
        m_connected = true;
        return;
    }
    if (state != QAbstractSocket::UnconnectedState)
        return;
    const bool wasConnected = m_connected;
    m_connected = false;
    m_connectTimeout.stop();
    resetConnectionState();
    if (!m_enabled || m_backoff.isWaiting())
        return;
    // One line per outage: a server that stays away is tried again quietly.
    if (m_backoff.retryLater())
        qCInfo(lcNcid, "caller-ID server at %s:%u %s (%s); trying again until it answers",
               qUtf8Printable(m_server.host), unsigned{m_server.port},
               wasConnected ? "lost" : "not reachable", qUtf8Printable(m_socket.errorString()));
}

void NcidTelephonyControl::onReadyRead() {
    m_pending += m_socket.readAll();
    // A handler may switch the control off while a call is raised; what is left then goes unread.
    while (m_enabled) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end < 0)
            break;
        const QByteArray line = m_pending.first(end + 1);
        m_pending.remove(0, end + 1);
        if (m_skippingLongLine) {
            m_skippingLongLine = false;
            continue;
        }
        if (line.size() > LongestLine) {
            reportLongLine();
            continue;
        }
        handleLine(line);
    }
    // The start of a line too long to keep: the rest of it is skipped as it arrives.
    if (m_pending.size() > LongestLine) {
        if (!m_skippingLongLine)
            reportLongLine();
        m_pending.clear();
        m_skippingLongLine = true;
    }
}

void NcidTelephonyControl::reportLongLine() {
    qCWarning(lcNcid, "dropped a line of more than %lld bytes from the caller-ID server",
              static_cast<long long>(LongestLine));
}

void NcidTelephonyControl::handleLine(QByteArrayView bytes) {
    const NcidLine line = parseNcidLine(bytes);
    switch (line.kind) {
    case NcidLineKind::EndOfGreeting:
        if (!m_greeted) {
            m_greeted = true;
            // Only a server that got as far as greeting counts as reached: one that accepts and
            // hangs up at once is not hammered.
            m_backoff.connected();
            Q_EMIT serverReady();
        }
        return;
    case NcidLineKind::Call:
        if (m_greeted) {
            const NcidCall& c = line.call;
            qCDebug(lcNcid, "call: %s", qUtf8Printable(QString::fromUtf8(bytes).trimmed()));
            Q_EMIT CallSoftCallEvent(c.date, c.time, c.line, c.number, c.name);
        }
        return;
    case NcidLineKind::Greeting:
    case NcidLineKind::History:
    case NcidLineKind::Other:
        return;
    }
}

void NcidTelephonyControl::resetConnectionState() {
    m_pending.clear();
    m_greeted = false;
    m_skippingLongLine = false;
}

} // namespace velmor
