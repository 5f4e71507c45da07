#pragma once

#include "tools/homevision/topic_endpoint.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor::homevision {

// The server side of one DDE topic on the bus, org.velmor.DDE.Topic as generated from the interface file.
class DdeTopicServer : public TopicEndpoint, protected QDBusContext {
    Q_OBJECT
public:
    // Ways to misbehave on purpose, so that clients can be tried against a difficult server.
    struct Quirks {
        QSet<QString> refusedAdvises;
        QSet<QString> refusedPokes;
        int pokeReplyDelayMs = 0;
        int initiateReplyDelayMs = 0;
    };

    static const QString RefusedError;

    explicit DdeTopicServer(Quirks quirks, QObject* parent = nullptr);

    // org.velmor.DDE.Topic, called through the generated adaptor.
    void Initiate();
    void Advise(const QString& item);
    void Poke(const QString& item, const QString& value);
    QString Request(const QString& item);

    // Takes the topic's object and the application's bus name; why it cannot, if it cannot.
    [[nodiscard]] std::optional<QString> serve(QDBusConnection bus, const QString& application,
                                               const QString& topic);

    void setItem(const QString& item, const QString& value) override;
    [[nodiscard]] bool tellsAdvises() const override { return true; }

Q_SIGNALS:
    // Relayed to the bus by the adaptor.
    void ItemChanged(const QString& item, const QString& value);

private:
    void acceptPoke(const QString& item, const QString& value);

    Quirks m_quirks;
    QMap<QString, QString> m_items;
};

} // namespace velmor::homevision
