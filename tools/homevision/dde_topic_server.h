#pragma once

#include <QDBusContext>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

namespace velmor::homevision {

// The server side of one DDE topic on the bus: keeps the items' values, takes pokes and tells every
// listener of each change. It decides nothing about what a poke means; the stand-in does.
class DdeTopicServer : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    // Ways to misbehave on purpose, so that clients can be tried against a difficult server.
    struct Quirks {
        QSet<QString> refusedAdvises;
        QSet<QString> refusedPokes;
        int pokeReplyDelayMs = 0;
    };

    static const QString RefusedError;

    explicit DdeTopicServer(Quirks quirks, QObject* parent = nullptr);

    // org.velmor.DDE.Topic, called through the generated adaptor.
    void Initiate();
    void Advise(const QString& item);
    void Poke(const QString& item, const QString& value);
    QString Request(const QString& item);

    // Gives the item a new value and announces it.
    void setItem(const QString& item, const QString& value);

Q_SIGNALS:
    // Relayed to the bus by the adaptor.
    void ItemChanged(const QString& item, const QString& value);

    // A call arrived (item and value empty where the call has none).
    void received(const QString& call, const QString& item, const QString& value);
    // A client now listens to the item.
    void advised(const QString& item);
    // The poke was acknowledged and the item holds its new value.
    void poked(const QString& item, const QString& value);

private:
    void acceptPoke(const QString& item, const QString& value);

    Quirks m_quirks;
    QMap<QString, QString> m_items;
};

} // namespace velmor::homevision
