#pragma once

#include "app/form1_parts.h"
#include "core/instance_guard.h"

#include <memory>

namespace velmor {

class Form1;
class MqttConnection;
class VelmorTopics;

// Whether VELMOR_MQTT names a broker for the links (rightly or wrongly), rather than leaving them to the
// session bus.
[[nodiscard]] bool linksGoOverMqtt();

// The connection to the MQTT broker named by VELMOR_MQTT; none when the variable is unset or empty, so
// that HomeVision is reached over the session bus. A value that names no broker raises an error whose
// description names the variable (and never holds the password).
[[nodiscard]] std::unique_ptr<MqttConnection> makeMqttConnection();

// Velmor's own topics on the broker connection, none without one. Made before the connection first
// connects, so that its will says "offline" for this copy.
[[nodiscard]] std::unique_ptr<VelmorTopics> makeVelmorTopics(MqttConnection* mqtt);
// The topics hear what the window reports (given the parts before the window is made from them) and
// hand the window the jukebox commands that arrive on them (given the window); nothing without topics.
void connectTopics(VelmorTopics* topics, Form1Parts& parts);
void connectTopics(VelmorTopics* topics, Form1& form);

// The real outside parties the program runs with: DDE links over the broker connection when there is
// one (it must outlive the parts), over the session bus otherwise. The message box is created by the
// caller, who owns the window it stands over.
[[nodiscard]] Form1Parts makeRealParts(std::unique_ptr<MessageBox> messageBox, MqttConnection* mqtt);

// What keeps a second copy off the links: over MQTT, the retained velmor/status on the same broker;
// otherwise a name on the session bus the links use.
[[nodiscard]] std::unique_ptr<InstanceGuard> makeInstanceGuard(MqttConnection* mqtt);

} // namespace velmor
