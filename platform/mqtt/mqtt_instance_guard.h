#pragma once

#include "core/instance_guard.h"

namespace velmor {

class MqttConnection;

// Over MQTT a running copy is known by the retained "online" it keeps on velmor/status. The broker
// turns that into "offline" (the copy's will) when the copy's connection ends without a goodbye: at
// once when the process dies and its socket closes, after one and a half keep-alive periods when the
// copy's machine or network vanishes. A broker that went down together with its copy keeps "online"
// with nobody behind it, so a copy that finds it asks, and a running copy answers; silence is a stale
// claim, which the new copy says on stderr and takes over. Nothing is held: a copy becomes the running
// one by saying "online" itself once it runs. Until the check says this copy is the one, the broker
// connection is not admitted: no subscription of the links or of Velmor's topics is made.
class MqttInstanceGuard : public InstanceGuard {
    Q_OBJECT
public:
    explicit MqttInstanceGuard(MqttConnection& connection, QObject* parent = nullptr);

    // Connects and reads the retained status (waiting at most MqttConnection::WaitLimit), and asks when
    // it says "online". NotYet when the broker does not answer; Unchecked when it turned Velmor away or
    // refuses its messages, so that no check can ever be made: the links then do not open.
    [[nodiscard]] Claim claim() override;
    // A copy on another machine has no window here to show.
    bool activateRunning() override { return false; }
    [[nodiscard]] QString place() const override;

private:
    [[nodiscard]] Claim cannotCheck() const;
    Claim takeOver();

    MqttConnection& m_connection;
};

} // namespace velmor
