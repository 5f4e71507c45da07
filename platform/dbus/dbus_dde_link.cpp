#include "platform/dbus/dbus_dde_link.h"

#include "dde_topic_proxy.h"
#include "platform/dbus/dde_link_error.h"
#include "platform/dbus/dde_topic_address.h"

namespace velmor {

namespace {

const QString ItemChanged = QStringLiteral("ItemChanged");
const QString ItemChangedSignature = QStringLiteral("ss");

} // namespace

DbusDdeLink::DbusDdeLink(QDBusConnection connection, QObject* parent)
    : DdeLink(parent)
    , m_connection(std::move(connection)) {}

DbusDdeLink::~DbusDdeLink() {
    stopListening();
}

void DbusDdeLink::setLinkTopic(const QString& topic) {
    m_topic = topic;
}

void DbusDdeLink::setLinkItem(const QString& item) {
    m_item = item;
}

void DbusDdeLink::setLinkMode(int mode) {
    end();
    if (mode == None)
        return;
    if (mode != Automatic && mode != Manual)
        throw Error(dde_link_error::BadMode, QStringLiteral("%1 is not a DDE link mode").arg(mode));

    const std::optional<DdeTopicAddress> address = ddeTopicAddress(m_topic);
    if (!address) {
        throw Error(dde_link_error::BadTopic,
                    QStringLiteral("\"%1\" is not a link topic of the form application|topic").arg(m_topic));
    }
    if (!m_connection.isConnected()) {
        const QDBusError error = m_connection.lastError();
        throw Error(dde_link_error::NoBus, QStringLiteral("No session bus to reach %1 (%2: %3)")
                                               .arg(m_topic, error.name(), error.message()));
    }

    DdeTopicProxy initiating(address->service, address->path, m_connection);
    initiating.setTimeout(ReplyTimeoutMs);
    const QDBusMessage answer =
        waitForReply(initiating.Initiate(), [this] { return QStringLiteral("Initiate on %1").arg(m_topic); });

    // The conversation is with the connection that answered, by its unique name, not with whoever holds
    // the application's name later: once that HomeVision has left the bus, a process that takes the name
    // receives nothing from this link and cannot speak to it, and pokes fail as they would with no
    // HomeVision at all.
    auto proxy = std::make_unique<DdeTopicProxy>(answer.service(), address->path, m_connection);
    proxy->setTimeout(ReplyTimeoutMs);
    if (mode == Automatic) {
        // Listening starts before the advise goes out, so a value sent in answer to it is not missed.
        listen(answer.service(), address->path);
        try {
            waitForReply(proxy->Advise(m_item),
                         [this] { return QStringLiteral("Advise of %1 on %2").arg(m_item, m_topic); });
        } catch (...) {
            stopListening();
            throw;
        }
    }
    m_proxy = std::move(proxy);
    m_mode = mode;
}

void DbusDdeLink::listen(const QString& service, const QString& path) {
    // Only this link's item: the changes of the others (every message, for the acknowledgement's link)
    // are not even handed over to the event loop. A match on an argument is to be had only with the
    // slot named as text.
    m_listening = Listening{service, path, m_item};
    m_connection.connect(service, path, QLatin1String(DdeTopicProxy::staticInterfaceName()), ItemChanged,
                         {m_item}, ItemChangedSignature, this, SLOT(onItemChanged(QString, QString)));
}

void DbusDdeLink::stopListening() {
    if (!m_listening)
        return;
    m_connection.disconnect(
        m_listening->service, m_listening->path, QLatin1String(DdeTopicProxy::staticInterfaceName()),
        ItemChanged, {m_listening->item}, ItemChangedSignature, this, SLOT(onItemChanged(QString, QString)));
    m_listening.reset();
}

void DbusDdeLink::poke(const QString& value) {
    if (!m_proxy) {
        throw Error(dde_link_error::NoLink,
                    QStringLiteral("No link is open for %1 on %2").arg(m_item, m_topic));
    }
    waitForReply(m_proxy->Poke(m_item, value),
                 [this] { return QStringLiteral("Poke of %1 on %2").arg(m_item, m_topic); });
}

void DbusDdeLink::end() {
    stopListening();
    m_proxy.reset();
    m_mode = None;
}

QDBusMessage DbusDdeLink::waitForReply(QDBusPendingCall call, const std::function<QString()>& doing) const {
    // Blocks on the reply alone: unlike QDBus::BlockWithGui this never spins the event loop.
    call.waitForFinished();
    if (call.isError()) {
        const QDBusError error = call.error();
        throw ddeLinkError(error.name(), error.message(), doing());
    }
    return call.reply();
}

void DbusDdeLink::onItemChanged(const QString& item, const QString& value) {
    if (m_mode == Automatic && item == m_item)
        Q_EMIT valueDelivered(value);
}

} // namespace velmor
