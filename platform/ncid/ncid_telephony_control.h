#pragma once

#include "platform/common/reconnect_backoff.h"
#include "platform/ncid/ncid_line_buffer.h"
#include "platform/ncid/ncid_server_address.h"
#include "telephony/telephony_control.h"

#include <QAbstractSocket>
#include <QTcpSocket>
#include <QTimer>

namespace velmor {

// The telephony control as a client of an NCID (Network Caller ID) server: switched on, it keeps a
// connection to the server and raises CallSoftCallEvent for each live call the server announces,
// with the call's DATE, TIME, LINE, NMBR and NAME. A server that is missing or goes away is waited
// for, never reported as an error.
class NcidTelephonyControl : public TelephonyControl {
    Q_OBJECT
public:
    // However fast a server sends, at most this many lines are read in one turn of the event loop,
    // so that the window's own events get in between; the rest waits for the next turn.
    static constexpr qsizetype LinesPerTurn = 64;

    explicit NcidTelephonyControl(NcidServerAddress server, QObject* parent = nullptr);
    ~NcidTelephonyControl() override;

    // The stored form describes only how the control looks on a form; a network client has no use for it.
    void restoreStoredSettings(const QByteArray& settings) override;
    // Any value but 0 switches on, as a true Boolean would; 0 switches off.
    void setCallSoftEnable(qint32 value) override;

Q_SIGNALS:
    // The server has ended its greeting on the current connection: calls announced from now on are
    // raised.
    void serverReady();

private:
    // How far the current connection got; after it ends, how far the last one got, as long as the lines
    // it left are still read.
    enum class Connection {
        Off,        // switched off
        Connecting, // an attempt is under way, or failed and the back-off's pause runs
        Greeting,   // connected; the server's greeting goes on
        Listening,  // greeted: each live call is raised
    };
    // Reading is done in turns of at most LinesPerTurn lines.
    enum class Turn {
        Idle,
        Posted,  // the next turn waits in the event queue
        Reading, // a turn runs (and a handler it called may run an event loop of its own)
    };

    void connectToServer();
    void onStateChanged(QAbstractSocket::SocketState state);
    void onReadyRead();
    void readLines();
    bool takeFromSocket();
    void handleLine(QByteArrayView line);
    void reportLongLine();

    NcidServerAddress m_server;
    QTcpSocket m_socket;
    ReconnectBackoff m_backoff;
    QTimer m_connectTimeout;
    NcidLineBuffer m_lines;
    Connection m_connection = Connection::Off;
    Turn m_turn = Turn::Idle;
};

} // namespace velmor
