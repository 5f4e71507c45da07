#include "tools/homevision/dde_topic_server.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace velmor::homevision {

const QString DdeTopicServer::RefusedError = QStringLiteral("org.velmor.DDE.Error.Refused");

DdeTopicServer::DdeTopicServer(Quirks quirks, QObject* parent)
    : QObject(parent)
    , m_quirks(std::move(quirks)) {}

void DdeTopicServer::Initiate() {
    Q_EMIT received(QStringLiteral("Initiate"), {}, {});
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
}

void DdeTopicServer::acceptPoke(const QString& item, const QString& value) {
    m_items[item] = value;
    Q_EMIT poked(item, value);
}

} // namespace velmor::homevision
