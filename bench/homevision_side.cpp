#include "bench/homevision_side.h"

#include "dde_topic_adaptor.h"
#include "hvlink/dde_items.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace velmor::bench {

namespace {

const QString Path = QLatin1Char('/') + HomeVisionTopic;
// Velmor opens one link per item it uses.
constexpr int LinksPerClient = 4;

} // namespace

HomeVisionSide::HomeVisionSide(QDBusConnection bus, QString application, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_service(QStringLiteral("org.velmor.DDE.") + application)
    , m_server(homevision::DdeTopicServer::Quirks{}) {
    connect(&m_server, &homevision::DdeTopicServer::received, this,
            [this](const QString& call, const QString& item, const QString&) { onReceived(call, item); });
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(WaitTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
}

HomeVisionSide::~HomeVisionSide() {
    // The next benchmark serves the topic again on the same bus.
    m_bus.unregisterService(m_service);
    m_bus.unregisterObject(Path);
}

bool HomeVisionSide::serve() {
    return m_bus.registerObject(Path, &m_server, QDBusConnection::ExportAdaptors) &&
           m_bus.registerService(m_service);
}

bool HomeVisionSide::waitForClient(qint64 pid) {
    if (!waitUntil(m_clientReady))
        return false;
    // The topic server does not say who called; the bus tells which connection the process holds.
    const QDBusConnectionInterface* bus = m_bus.interface();
    for (const QString& name : bus->registeredServiceNames().value()) {
        if (name.startsWith(QLatin1Char(':')) && bus->servicePid(name).value() == pid) {
            m_clientName = name;
            return true;
        }
    }
    return false;
}

void HomeVisionSide::idle(int ms) {
    QTimer::singleShot(ms, &m_loop, &QEventLoop::quit);
    m_loop.exec();
}

std::optional<HomeVisionSide::Duration> HomeVisionSide::roundTrip(const QString& message) {
    m_acknowledged = false;
    const auto sent = std::chrono::steady_clock::now();
    m_server.setItem(DdeItems.DDEMessage, message);
    if (!waitUntil(m_acknowledged))
        return std::nullopt;
    return m_ackArrived - sent;
}

std::optional<HomeVisionSide::Duration> HomeVisionSide::ping() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(m_clientName, QStringLiteral("/"),
                                       QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const auto sent = std::chrono::steady_clock::now();
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, WaitTimeoutMs);
    const auto answered = std::chrono::steady_clock::now();
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return answered - sent;
}

void HomeVisionSide::onReceived(const QString& call, const QString& item) {
    if (call == QLatin1String("Poke") && item == DdeItems.DDEMessageAcknowledge) {
        m_ackArrived = std::chrono::steady_clock::now();
        m_acknowledged = true;
        m_loop.quit();
    } else if (call == QLatin1String("Initiate") && ++m_initiates == LinksPerClient) {
        m_clientReady = true;
        m_loop.quit();
    }
}

bool HomeVisionSide::waitUntil(const bool& done) {
    if (!done) {
        m_timeout.start();
        m_loop.exec();
        m_timeout.stop();
    }
    return done;
}

} // namespace velmor::bench
