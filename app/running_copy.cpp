#include "app/running_copy.h"

#include "core/instance_guard.h"
#include "core/log_categories.h"

#include <QWidget>

namespace velmor {

bool handOverToRunningCopy(InstanceGuard& guard) {
    if (guard.claim() != InstanceGuard::Claim::Taken)
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
