#pragma once

#include "tests/support/private_bus.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmor::test {

// One private bus for a whole test program. Register it before the tests run:
//   auto* const busEnvironment = static_cast<PrivateBusEnvironment*>(
//       ::testing::AddGlobalTestEnvironment(new PrivateBusEnvironment));
class PrivateBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_bus = std::make_unique<PrivateBus>();
        ASSERT_TRUE(m_bus->isRunning()) << m_bus->errorString().toStdString();
    }
    void TearDown() override { m_bus.reset(); }

    [[nodiscard]] PrivateBus& bus() { return *m_bus; }

private:
    std::unique_ptr<PrivateBus> m_bus;
};

} // namespace velmor::test
