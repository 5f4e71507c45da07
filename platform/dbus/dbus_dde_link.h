#pragma once

#include "hvlink/dde_link.h"

#include <QDBusConnection>

#include <functional>
#include <memory>
#include <optional>

class DdeTopicProxy;
class QDBusMessage;
class QDBusPendingCall;

namespace velmor {

// A DDE client link carried over D-Bus: the topic "APP|TOPIC" is the object /TOPIC of the bus name
// org.velmor.DDE.APP, implementing org.velmor.DDE.Topic. Every call waits for its reply on this thread
// without running the event loop, so no handler runs nested inside a link operation; the wait is
// bounded by ReplyTimeoutMs. A link belongs to the bus connection that answered its initiate: it pokes
// that connection only and takes values from it alone, for as long as the object lives. The link ends
// with the object.
class DbusDdeLink : public DdeLink {
    Q_OBJECT
public:
    static constexpr int ReplyTimeoutMs = 5000;

    explicit DbusDdeLink(QDBusConnection connection, QObject* parent = nullptr);
    ~DbusDdeLink() override;

    void setLinkTopic(const QString& topic) override;
    void setLinkItem(const QString& item) override;
    void setLinkMode(int mode) override;
    void poke(const QString& value) override;

    // The mode of the link that is open, None when there is none.
    [[nodiscard]] int mode() const { return m_mode; }

private Q_SLOTS:
    void onItemChanged(const QString& item, const QString& value);

private:
    // Where the link hears of its item's changes.
    struct Listening {
        QString service;
        QString path;
        QString item;
    };

    void end();
    // The reply, or the link's error for a failed call, saying what was being done (put into words only
    // then: a poke comes with every message).
    QDBusMessage waitForReply(QDBusPendingCall call, const std::function<QString()>& doing) const;
    void listen(const QString& service, const QString& path);
    void stopListening();

    QDBusConnection m_connection;
    QString m_topic;
    QString m_item;
    int m_mode = None;
    std::unique_ptr<DdeTopicProxy> m_proxy;
    std::optional<Listening> m_listening;
};

} // namespace velmor
