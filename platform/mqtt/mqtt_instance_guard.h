#pragma once

#include "core/instance_guard.h"

namespace velmor {

class MqttConnection;

// Over MQTT a running copy is known by the retained "online" it keeps on velmor/status. The broker
// turns that into "offline" (the copy's will) when the copy's connection ends without a goodbye: at
// once when the process dies and its socket closes, after one and a half keep-alive periods when the
// copy's machine or network vanishes. Nothing is held: a copy becomes the running one by saying
// "online" itself once it runs.
class MqttInstanceGuard : public InstanceGuard {
    Q_OBJECT
public:
    explicit MqttInstanceGuard(MqttConnection& connection, QObject* parent = nullptr);

    // Connects (waiting at most MqttConnection::WaitLimit) and reads the retained status. Unchecked when
    // the broker cannot be reached: the links then report that HomeVision is not running.
    [[nodiscard]] Claim claim() override;
    // A copy on another machine has no window here to show.
    bool activateRunning() override { return false; }
    [[nodiscard]] QString place() const override;

private:
    MqttConnection& m_connection;
};

} // namespace velmor
