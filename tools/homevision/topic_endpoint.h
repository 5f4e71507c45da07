#pragma once

#include <QObject>
#include <QString>

namespace velmor::homevision {

// The server side of one DDE topic on some carrier: keeps the items' values, takes pokes and tells
// its listeners of each change. It decides nothing about what a poke means; the stand-in does.
class TopicEndpoint : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Gives the item a new value and announces it.
    virtual void setItem(const QString& item, const QString& value) = 0;
    // Whether the carrier tells when a client starts listening to an item (advised() comes then).
    [[nodiscard]] virtual bool tellsAdvises() const = 0;

Q_SIGNALS:
    // A call arrived (item and value empty where the call has none).
    void received(const QString& call, const QString& item, const QString& value);
    // The item's new value went out to its listeners.
    void sent(const QString& item, const QString& value);
    // A client now listens to the item.
    void advised(const QString& item);
    // The poke was acknowledged and the item holds its new value.
    void poked(const QString& item, const QString& value);
};

} // namespace velmor::homevision
