#include "platform/ncid/ncid_telephony_control.h"

#include "core/log_categories.h"
#include "telephony/ncid_line.h"

namespace velmor {

namespace {

using namespace std::chrono_literals;

// A host that swallows the connection attempt would otherwise hold it for minutes.
constexpr std::chrono::milliseconds ConnectTimeout = 5s;
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
    m_connection = Connection::Off;
    m_socket.disconnect(this);
    m_socket.abort();
}

void NcidTelephonyControl::restoreStoredSettings(const QByteArray& /*settings*/) {}

void NcidTelephonyControl::setCallSoftEnable(qint32 value) {
    const bool enable = value != 0;
    if (enable == (m_connection != Connection::Off))
        return;
    m_backoff.stop();
    if (enable) {
        m_connection = Connection::Connecting;
        connectToServer();
        return;
    }
    m_connection = Connection::Off;
    m_connectTimeout.stop();
    m_socket.abort();
    m_lines.clear();
}

void NcidTelephonyControl::connectToServer() {
    if (m_connection == Connection::Off || m_socket.state() != QAbstractSocket::UnconnectedState)
        return;
    // The calls the last connection delivered are raised first: a new connection starts afresh once
    // reading has caught up.
    if (m_turn != Turn::Idle)
        return;
    m_connection = Connection::Connecting;
    m_lines.clear();
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
        m_connection = Connection::Greeting;
        return;
    }
    if (state != QAbstractSocket::UnconnectedState)
        return;
    m_connectTimeout.stop();
    // Calls the server sent before it closed are still raised: what is left in the buffers is read on
    // before the next connection starts.
    if (m_connection == Connection::Off || m_backoff.isWaiting())
        return;
    // One line per outage: a server that stays away is tried again quietly.
    if (m_backoff.retryLater())
        qCInfo(lcTelephony, "caller-ID server at %s:%u %s (%s); trying again until it answers",
               qUtf8Printable(m_server.host), unsigned{m_server.port},
               m_connection == Connection::Connecting ? "not reachable" : "lost",
               qUtf8Printable(m_socket.errorString()));
}

void NcidTelephonyControl::onReadyRead() {
    // A turn already due, or one under way (a handler that runs an event loop of its own), takes
    // these bytes in its stride.
    if (m_turn == Turn::Idle)
        readLines();
}

void NcidTelephonyControl::readLines() {
    m_turn = Turn::Reading;
    qsizetype lines = 0;
    // A handler may switch the control off while a call is raised; what is left then goes unread.
    while (m_connection != Connection::Off && lines < LinesPerTurn) {
        const std::optional<QByteArrayView> line = m_lines.nextLine();
        if (!line) {
            if (!takeFromSocket())
                break;
            continue;
        }
        ++lines;
        if (line->size() > NcidLineBuffer::LongestLine)
            reportLongLine();
        else
            handleLine(*line);
    }
    m_turn = Turn::Idle;
    if (m_connection == Connection::Off)
        return;
    if (lines == LinesPerTurn) {
        m_turn = Turn::Posted;
        QMetaObject::invokeMethod(this, &NcidTelephonyControl::readLines, Qt::QueuedConnection);
        return;
    }
    m_lines.compact();
    // A retry that fell due meanwhile was put off until now.
    if (!m_backoff.isWaiting())
        connectToServer();
}

bool NcidTelephonyControl::takeFromSocket() {
    if (m_socket.bytesAvailable() <= 0)
        return false;
    if (m_lines.append(m_socket.read(SocketBuffer)))
        reportLongLine();
    return true;
}

void NcidTelephonyControl::reportLongLine() {
    qCWarning(lcTelephony, "dropped a line of more than %lld bytes from the caller-ID server",
              static_cast<long long>(NcidLineBuffer::LongestLine));
}

void NcidTelephonyControl::handleLine(QByteArrayView bytes) {
    const NcidLine line = parseNcidLine(bytes);
    switch (line.kind) {
    case NcidLineKind::EndOfGreeting:
        if (m_connection == Connection::Greeting) {
            m_connection = Connection::Listening;
            // Only a server that got as far as greeting counts as reached: one that accepts and
            // hangs up at once is not hammered.
            m_backoff.connected();
            Q_EMIT serverReady();
        }
        return;
    case NcidLineKind::Call:
        if (m_connection == Connection::Listening) {
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

} // namespace velmor
