#include "tools/homevision/dde_topic_server.h"

#include "dde_topic_adaptor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

#include <cstdio>

namespace velmor::homevision {

const QString DdeTopicServer::RefusedError = QStringLiteral("org.velmor.DDE.Error.Refused");

DdeTopicServer::DdeTopicServer(Quirks quirks, QObject* parent)
    : TopicEndpoint(parent)
    , m_quirks(std::move(quirks)) {
    // The adaptor belongs to this object and puts its calls and signals on the bus.
    new DdeTopicAdaptor(this);
}

std::optional<QString> DdeTopicServer::serve(QDBusConnection bus, const QString& application,
                                             const QString& topic) {
    const QString service = QStringLiteral("org.velmor.DDE.") + application;
    const QString path = QLatin1Char('/') + topic;
    if (!bus.isConnected())
        return QStringLiteral("no session bus: %1").arg(bus.lastError().message());
    // The object is there before the name, so no client finds the name without the topic.
    if (!bus.registerObject(path, this, QDBusConnection::ExportAdaptors))
        return QStringLiteral("cannot serve the object %1").arg(path);
    if (!bus.registerService(service))
        return QStringLiteral("cannot own %1 (is another HomeVision running?)").arg(service);
    std::fprintf(stderr, "velmor-homevision: serving %s at %s\n", qUtf8Printable(service),
                 qUtf8Printable(path));
    return std::nullopt;
}

void DdeTopicServer::Initiate() {
    Q_EMIT received(QStringLiteral("Initiate"), {}, {});
    if (m_quirks.initiateReplyDelayMs > 0) {
        setDelayedReply(true);
        QTimer::singleShot(m_quirks.initiateReplyDelayMs, this,
                           [reply = message().createReply(), bus = connection()] { bus.send(reply); });
    }
}

void DdeTopicServer::Advise(const QString& item) {
    Q_EMIT received(QStringLiteral("Advise"), item, {});
    if (m_quirks.refusedAdvises.contains(item)) {
        sendErrorReply(RefusedError, QStringLiteral("This server refuses to advise %1").arg(item));
        return;
    }
    Q_EMIT advised(item);
}

void DdeTopicServer::Poke(const QString& item, const QString& value) {
    Q_EMIT received(QStringLiteral("Poke"), item, value);
    if (m_quirks.refusedPokes.contains(item)) {
        sendErrorReply(RefusedError, QStringLiteral("This server refuses pokes of %1").arg(item));
        return;
    }
    if (m_quirks.pokeReplyDelayMs > 0) {
        setDelayedReply(true);
        QTimer::singleShot(m_quirks.pokeReplyDelayMs, this,
                           [this, reply = message().createReply(), bus = connection(), item, value] {
                               bus.send(reply);
                               acceptPoke(item, value);
                           });
        return;
    }
    // The reply goes out when this returns; acting on the value only afterwards lets the client see
    // its acknowledgement before anything the value sets off.
    QTimer::singleShot(0, this, [this, item, value] { acceptPoke(item, value); });
}

QString DdeTopicServer::Request(const QString& item) {
    Q_EMIT received(QStringLiteral("Request"), item, {});
    const auto found = m_items.constFind(item);
    if (found == m_items.constEnd()) {
        sendErrorReply(RefusedError, QStringLiteral("Item %1 has no value").arg(item));
        return {};
    }
    return *found;
}

void DdeTopicServer::setItem(const QString& item, const QString& value) {
    m_items[item] = value;
    Q_EMIT ItemChanged(item, value);
    Q_EMIT sent(item, value);
}

void DdeTopicServer::acceptPoke(const QString& item, const QString& value) {
    m_items[item] = value;
    Q_EMIT poked(item, value);
}

} // namespace velmor::homevision
