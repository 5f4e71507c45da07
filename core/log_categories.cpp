#include "core/log_categories.h"

namespace velmor {

Q_LOGGING_CATEGORY(lcApp, "velmor.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDde, "velmor.dde", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMqtt, "velmor.mqtt", QtInfoMsg)
Q_LOGGING_CATEGORY(lcJukebox, "velmor.jukebox", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTelephony, "velmor.telephony", QtInfoMsg)

} // namespace velmor
