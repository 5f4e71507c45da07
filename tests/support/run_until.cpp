#include "tests/support/run_until.h"

#include <QEventLoop>
#include <QTimer>

namespace velmor::test {

bool runUntil(const std::function<bool()>& condition, int timeoutMs) {
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(20);
    loop.exec();
    return condition();
}

} // namespace velmor::test
