#include "tools/ncid_server/ncid_stand_in_server.h"

#include "tools/ncid_server/console.h"

#include <QTcpSocket>
#include <QTimer>

namespace velmor::ncidserver {

namespace {

// The start-up of a connection as ncidd sends it, with a short call log of made-up callers.
constexpr const char* Greeting[] = {
    "200 Server: velmor-ncid-server (NCID stand-in) 1.0",
    "210 API: 1.0 Feature Set 1",
    "254 Start of call log",
    "CIDLOG: *DATE*03142024*TIME*0912*LINE*POTS*NMBR*5555550142*MESG*NONE*NAME*ALICE EXAMPLE*",
    "CIDLOG: *DATE*03142024*TIME*1347*LINE*POTS*NMBR*-*MESG*NONE*NAME*OUT-OF-AREA*",
    "HUPLOG: *DATE*03152024*TIME*1920*LINE*POTS*NMBR*8005550199*MESG*NONE*NAME*TELEMARKETER*",
    "MSGLOG: Call log rotated ***DATE*03162024*TIME*0000*NAME*-*NMBR*-*LINE*-*MTYPE*SYS*",
    "LOG: # a comment kept in the call log",
    "250 End of call log",
    "OPT: country: US",
    "300 End of connection startup",
};

// How long closing waits for a client that does not take what was sent.
constexpr int ShutDownGraceMs = 2000;

} // namespace

NcidStandInServer::NcidStandInServer(bool crLf, QObject* parent)
    : QObject(parent)
    , m_crLf(crLf) {
    connect(&m_server, &QTcpServer::newConnection, this, &NcidStandInServer::acceptClients);
}

bool NcidStandInServer::listen(const QHostAddress& address, quint16 port) {
    if (!m_server.listen(address, port)) {
        say(QStringLiteral("cannot listen on %1 port %2: %3")
                .arg(address.toString())
                .arg(port)
                .arg(m_server.errorString()));
        return false;
    }
    say(QStringLiteral("listening on port %1").arg(m_server.serverPort()));
    return true;
}

void NcidStandInServer::acceptClients() {
    while (QTcpSocket* client = m_server.nextPendingConnection()) {
        const int id = ++m_lastId;
        client->setParent(this);
        m_clients.emplace(id, client);
        say(QStringLiteral("client %1 connected from %2 port %3")
                .arg(id)
                .arg(client->peerAddress().toString())
                .arg(client->peerPort()));
        // Clients may send HELLO: lines or a bare line end to see the server is alive: nothing to do.
        connect(client, &QIODevice::readyRead, client, [client] { client->readAll(); });
        connect(client, &QAbstractSocket::disconnected, this, [this, id] { forget(id); });
        greet(id, *client);
    }
}

void NcidStandInServer::greet(int id, QTcpSocket& client) {
    for (const char* line : Greeting) {
        send(client, QByteArray(line));
        say(QStringLiteral("to client %1: %2").arg(id).arg(QLatin1String(line)));
    }
}

void NcidStandInServer::announce(const QByteArray& line) {
    for (const auto& [id, client] : m_clients)
        send(*client, line);
    say(QStringLiteral("to %1 client(s): %2").arg(m_clients.size()).arg(QString::fromUtf8(line)));
}

void NcidStandInServer::flood(const QByteArrayList& lines) {
    const QByteArray end = m_crLf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    const QByteArray all = lines.join(end) + end;
    for (const auto& [id, client] : m_clients)
        client->write(all);
    say(QStringLiteral("flood of %1 call(s) to %2 client(s)").arg(lines.size()).arg(m_clients.size()));
}

void NcidStandInServer::send(QTcpSocket& client, const QByteArray& line) {
    client.write(line + (m_crLf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n")));
}

void NcidStandInServer::forget(int id) {
    const auto found = m_clients.find(id);
    if (found == m_clients.end())
        return;
    found->second->deleteLater();
    m_clients.erase(found);
    say(QStringLiteral("client %1 gone").arg(id));
    if (m_shuttingDown && m_clients.empty())
        finish();
}

void NcidStandInServer::finish() {
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished();
}

void NcidStandInServer::shutDown() {
    if (m_shuttingDown)
        return;
    m_shuttingDown = true;
    m_server.close();
    if (m_clients.empty()) {
        QTimer::singleShot(0, this, &NcidStandInServer::finish);
        return;
    }
    for (QTcpSocket* client : clients())
        client->disconnectFromHost();
    QTimer::singleShot(ShutDownGraceMs, this, [this] {
        for (QTcpSocket* client : clients())
            client->abort();
        finish();
    });
}

// A copy: a client that closes leaves the map at once.
std::vector<QTcpSocket*> NcidStandInServer::clients() const {
    std::vector<QTcpSocket*> sockets;
    for (const auto& [id, client] : m_clients)
        sockets.push_back(client);
    return sockets;
}

} // namespace velmor::ncidserver
