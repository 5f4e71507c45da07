#pragma once

#include <QString>

namespace velmor {

// What the call event handling needs of the main window.
class TelephonyWindow {
public:
    virtual ~TelephonyWindow() = default;

    virtual void setLabel19Caption(const QString& caption) = 0;
};

} // namespace velmor
