#include "tests/integration/dde/dde_bus_test.h"

#include "tests/support/private_bus_environment.h"

namespace velmor::test {

namespace {

auto* const busEnvironment =
    static_cast<PrivateBusEnvironment*>(::testing::AddGlobalTestEnvironment(new PrivateBusEnvironment));

const QString NoBusName = QStringLiteral("velmor-test-no-bus");

} // namespace

PrivateBus& sharedBus() {
    return busEnvironment->bus();
}

NoBus::NoBus() {
    QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/velmor-test-no-bus"), NoBusName);
}

NoBus::~NoBus() {
    QDBusConnection::disconnectFromBus(NoBusName);
}

QDBusConnection NoBus::connection() const {
    return QDBusConnection(NoBusName);
}

} // namespace velmor::test
