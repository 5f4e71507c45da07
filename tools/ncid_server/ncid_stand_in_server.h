#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <map>
#include <vector>

class QTcpSocket;

namespace velmor::ncidserver {

// Serves NCID clients as a caller-ID server does: each client is greeted, handed a short call log
// and then sent every live line the server announces.
class NcidStandInServer : public QObject {
    Q_OBJECT
public:
    explicit NcidStandInServer(bool crLf, QObject* parent = nullptr);

    // Port 0 picks a free one. Returns false, with the reason printed, when the port is taken.
    bool listen(const QHostAddress& address, quint16 port);
    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }

    // Sends one line to every client that has been greeted.
    void announce(const QByteArray& line);
    // Sends every line to every greeted client in one write, and says so in one line, not one each.
    void flood(const QByteArrayList& lines);

    // Stops taking clients and closes every connection once what was sent has gone out.
    void shutDown();

Q_SIGNALS:
    // Every client is gone after shutDown().
    void finished();

private:
    void acceptClients();
    void greet(int id, QTcpSocket& client);
    void send(QTcpSocket& client, const QByteArray& line);
    void forget(int id);
    void finish();
    [[nodiscard]] std::vector<QTcpSocket*> clients() const;

    QTcpServer m_server;
    std::map<int, QTcpSocket*> m_clients;
    int m_lastId = 0;
    bool m_crLf = false;
    bool m_shuttingDown = false;
    bool m_finished = false;
};

} // namespace velmor::ncidserver
