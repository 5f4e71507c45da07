#include "app/running_copy.h"

#include "core/instance_guard.h"
#include "core/log_categories.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace velmor {

namespace {

// Between two checks that found no answer.
constexpr int CheckAgainMs = 1000;

} // namespace

bool handOverToRunningCopy(InstanceGuard& guard, const std::function<bool()>& stopAsked) {
    InstanceGuard::Claim claim = guard.claim();
    for (bool said = false; claim == InstanceGuard::Claim::NotYet; claim = guard.claim()) {
        if (!std::exchange(said, true)) {
            qCWarning(lcApp,
                      "cannot check yet whether Velmor already runs on %s; waiting for it before going on",
                      qUtf8Printable(guard.place()));
        }
        // Nothing of this copy's runs yet but the check: the event loop may turn freely.
        QEventLoop pause;
        QTimer::singleShot(CheckAgainMs, &pause, &QEventLoop::quit);
        pause.exec();
        if (stopAsked())
            return true;
    }
    if (claim != InstanceGuard::Claim::Taken)
        return false;
    const bool answered = guard.activateRunning();
    qCInfo(lcApp, "Velmor already runs on %s; %s", qUtf8Printable(guard.place()),
           answered ? "showing its window instead" : "it did not answer, so its window stays as it is");
    return true;
}

void showWindowOnRequest(InstanceGuard& guard, QWidget& window) {
    QObject::connect(&guard, &InstanceGuard::activationRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
    });
}

} // namespace velmor
