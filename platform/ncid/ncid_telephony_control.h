#pragma once

#include "platform/common/reconnect_backoff.h"
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
    void connectToServer();
    void onStateChanged(QAbstractSocket::SocketState state);
    void onReadyRead();
    void readLines();
    bool takeFromSocket();
    void handleLine(QByteArrayView line);
    void resetConnectionState();
    void reportLongLine();

    NcidServerAddress m_server;
    QTcpSocket m_socket;
    ReconnectBackoff m_backoff;
    QTimer m_connectTimeout;
    // Bytes taken from the socket; those before m_readFrom have been handled.
    QByteArray m_pending;
    qsizetype m_readFrom = 0;
    bool m_turnPosted = false;
    bool m_reading = false;
    bool m_connectWhenCaughtUp = false;
    bool m_enabled = false;
    bool m_connected = false;
    bool m_greeted = false;
    bool m_skippingLongLine = false;
};

} // namespace velmor
