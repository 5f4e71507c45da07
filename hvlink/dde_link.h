#pragma once

#include "core/error.h"

#include <QObject>
#include <QString>

namespace velmor {

// The numbers a DDE link fails with, whatever carries it. 282 keeps its DDE meaning, the one the
// conversation tells apart; the others come from the same old DDE family so that a report reads
// familiar.
namespace dde_link_error {
inline constexpr int NoApplicationAnswered = error_number::NoApplicationAnswered; // 282
inline constexpr int Refused = 285;
inline constexpr int TimedOut = 286;
inline constexpr int NoBus = 291;
inline constexpr int NoLink = 293;
inline constexpr int BadTopic = 297;
inline constexpr int BadMode = 380;
} // namespace dde_link_error

// The DDE client behind one label: one conversation with one item of one topic.
// setLinkMode and poke raise velmor::Error on failure; number 282 means no application answered.
class DdeLink : public QObject {
    Q_OBJECT
public:
    enum Mode { None = 0, Automatic = 1, Manual = 2 };

    using QObject::QObject;
    ~DdeLink() override = default;

    // Neither of these talks to the other side.
    virtual void setLinkTopic(const QString& topic) = 0;
    virtual void setLinkItem(const QString& item) = 0;
    // Automatic and Manual open the conversation; Automatic also subscribes to the item.
    virtual void setLinkMode(int mode) = 0;
    // Sends the value as the item's new value; returns once the other side acknowledged it.
    virtual void poke(const QString& value) = 0;

Q_SIGNALS:
    // The other side changed the item of an Automatic link.
    void valueDelivered(const QString& value);
};

} // namespace velmor
