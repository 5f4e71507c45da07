#pragma once

#include "platform/dbus/dbus_dde_link.h"
#include "tests/support/homevision_process.h"
#include "tests/support/private_bus.h"

#include <gmock/gmock.h>

#include <memory>

namespace velmor::test {

// The private bus all tests of this program share.
[[nodiscard]] PrivateBus& sharedBus();

// A test on the shared bus, with a HomeVision stand-in it may start.
class DdeBusTest : public ::testing::Test {
protected:
    // A link on the shared bus, set to the topic and item; its mode not yet set.
    [[nodiscard]] std::unique_ptr<DbusDdeLink> link(const QString& topic, const QString& item) const {
        auto made = std::make_unique<DbusDdeLink>(bus.connection());
        made->setLinkTopic(topic);
        made->setLinkItem(item);
        return made;
    }

    PrivateBus& bus = sharedBus();
    HomeVisionProcess homeVision{QStringLiteral(VELMOR_HOMEVISION_PROGRAM), bus};
};

// A connection to a bus that is not there, as a program has when no session bus runs.
class NoBus {
public:
    NoBus();
    ~NoBus();
    NoBus(const NoBus&) = delete;
    NoBus& operator=(const NoBus&) = delete;

    [[nodiscard]] QDBusConnection connection() const;
};

} // namespace velmor::test
