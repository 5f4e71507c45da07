#pragma once

#include <QLoggingCategory>

namespace velmor {

// One logging category per subsystem. On a terminal each line is led by its category's name (Qt's
// default message pattern); debug lines are off unless QT_LOGGING_RULES turns them on, for example
// "velmor.telephony.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)       // velmor.app: start-up, shutdown, the handlers of the window
Q_DECLARE_LOGGING_CATEGORY(lcDde)       // velmor.dde: the link to HomeVision
Q_DECLARE_LOGGING_CATEGORY(lcMqtt)      // velmor.mqtt: the broker connection and what travels on it
Q_DECLARE_LOGGING_CATEGORY(lcJukebox)   // velmor.jukebox: the jukebox control
Q_DECLARE_LOGGING_CATEGORY(lcTelephony) // velmor.telephony: the caller-ID control

} // namespace velmor
