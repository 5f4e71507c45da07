#pragma once

#include <QString>

namespace velmor {

// The five texts of one call event, named after what the caller-ID service puts in them.
struct CallReport {
    QString date;
    QString time;
    QString line;
    QString number;
    QString name;

    friend bool operator==(const CallReport&, const CallReport&) = default;
};

// Told of every call event, whatever the window makes of it.
class CallObserver {
public:
    virtual ~CallObserver() = default;
    virtual void callReported(const CallReport& call) = 0;
};

} // namespace velmor
