#include "platform/ncid/ncid_telephony_control.h"

#include "core/log_categories.h"
#include "platform/ncid/ncid_line.h"

namespace velmor {

namespace {

using namespace std::chrono_literals;

// A host that swallows the connection attempt would otherwise hold it for minutes.
constexpr std::chrono::milliseconds ConnectTimeout = 5s;
// Real lines are a few hundred bytes; a server that never ends its line must not fill the memory.
constexpr qsizetype LongestLine = qsizetype{64} * 1024;
// What the socket holds for us at most. A server that sends faster than calls are handled waits in
// the kernel, where TCP holds it back, instead of in our memory.
constexpr qsizetype SocketBuffer = qsizetype{64} * 1024;

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
    m_socket.setReadBufferSize(SocketBuffer);
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
    m_connectWhenCaughtUp = false;
    m_socket.abort();
    resetConnectionState();
}

void NcidTelephonyControl::connectToServer() {
    if (!m_enabled || m_socket.state() != QAbstractSocket::UnconnectedState)
        return;
    // The calls the last connection delivered are raised first: a new connection starts afresh.
    if (m_turnPosted || m_reading) {
        m_connectWhenCaughtUp = true;
        return;
    }
    m_connectWhenCaughtUp = false;
    resetConnectionState();
    m_connectTimeout.start();
    m_socket.connectToHost(m_server.host, m_server.port);
}

void NcidTelephonyControl::onStateChanged(QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::ConnectedState) {
        m_connectTimeout.stop();
        // TCP keep-alive notices a server that vanished without closing the connection.
        m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        qCInfo(lcTelephony, "connected to the caller-ID server at %s:%u", qUtf8Printable(m_server.host),
               unsigned{m_server.port});
        m_connected = true;
        return;
    }
    if (state != QAbstractSocket::UnconnectedState)
        return;
    const bool wasConnected = m_connected;
    m_connected = false;
    m_connectTimeout.stop();
    // Calls the server sent before it closed are still raised: what is left in the buffers is read on
    // before the next connection starts.
    if (!m_enabled || m_backoff.isWaiting())
        return;
    // One line per outage: a server that stays away is tried again quietly.
    if (m_backoff.retryLater())
        qCInfo(lcTelephony, "caller-ID server at %s:%u %s (%s); trying again until it answers",
               qUtf8Printable(m_server.host), unsigned{m_server.port},
               wasConnected ? "lost" : "not reachable", qUtf8Printable(m_socket.errorString()));
}

void NcidTelephonyControl::onReadyRead() {
    // A turn already due, or one under way (a handler that runs an event loop of its own), takes
    // these bytes in its stride.
    if (m_turnPosted || m_reading)
        return;
    readLines();
}

void NcidTelephonyControl::readLines() {
    m_turnPosted = false;
    m_reading = true;
    qsizetype lines = 0;
    // A handler may switch the control off while a call is raised; what is left then goes unread.
    while (m_enabled && lines < LinesPerTurn) {
        const qsizetype end = m_pending.indexOf('\n', m_readFrom);
        if (end < 0) {
            if (!takeFromSocket())
                break;
            continue;
        }
        const QByteArrayView line = QByteArrayView(m_pending).sliced(m_readFrom, end + 1 - m_readFrom);
        m_readFrom = end + 1;
        ++lines;
        if (line.size() > LongestLine)
            reportLongLine();
        else
            handleLine(line);
    }
    m_reading = false;
    if (!m_enabled)
        return;
    if (lines == LinesPerTurn) {
        m_turnPosted = true;
        QMetaObject::invokeMethod(this, &NcidTelephonyControl::readLines, Qt::QueuedConnection);
        return;
    }
    // Caught up: only an unfinished line is kept, in no more memory than it needs, so that what a
    // flood took is given back.
    m_pending.remove(0, m_readFrom);
    m_readFrom = 0;
    if (m_pending.isEmpty())
        m_pending.clear();
    else
        m_pending.squeeze();
    if (m_connectWhenCaughtUp)
        connectToServer();
}

bool NcidTelephonyControl::takeFromSocket() {
    if (m_socket.bytesAvailable() <= 0)
        return false;
    // Every whole line has been handled: what is left is the start of the next one.
    m_pending.remove(0, m_readFrom);
    m_readFrom = 0;
    m_pending += m_socket.read(SocketBuffer);
    if (m_skippingLongLine) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end < 0) {
            m_pending.clear();
            return true;
        }
        m_pending.remove(0, end + 1);
        m_skippingLongLine = false;
    }
    // The start of a line too long to keep: the rest of it is skipped as it arrives.
    if (m_pending.size() > LongestLine && !m_pending.contains('\n')) {
        reportLongLine();
        m_pending.clear();
        m_skippingLongLine = true;
    }
    return true;
}

void NcidTelephonyControl::reportLongLine() {
    qCWarning(lcTelephony, "dropped a line of more than %lld bytes from the caller-ID server",
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
            qCDebug(lcTelephony, "call: %s", qUtf8Printable(QString::fromUtf8(bytes).trimmed()));
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
    m_readFrom = 0;
    m_greeted = false;
    m_skippingLongLine = false;
}

} // namespace velmor
