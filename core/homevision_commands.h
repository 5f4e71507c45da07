#pragma once

#include <QString>
#include <QtGlobal>

namespace velmor {

// Every part of Velmor sends to HomeVision through this one routine; the DDE conversation offers it.
class HomeVisionCommands {
public:
    virtual ~HomeVisionCommands() = default;

    // Returns 0 on success and -1 on failure; no caller looks at it.
    virtual qint16 Send_DDE_Command(const QString& command) = 0;
};

} // namespace velmor
