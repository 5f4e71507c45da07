#include "platform/dbus/dbus_instance_guard.h"
#include "tests/integration/dde/dde_bus_test.h"

#include <optional>

namespace velmor::test {
namespace {

using Claim = InstanceGuard::Claim;

const QString GuardedName = QStringLiteral("org.velmor.Velmor");

// Who holds the name when a copy starts.
enum class Holder {
    Nobody,
    CopyOnTheSameBus,
    CopyOnAnotherBus,
};

struct ClaimCase {
    const char* name;
    Holder holder;
    Claim expected;
};

void PrintTo(const ClaimCase& c, std::ostream* out) {
    *out << c.name;
}

// One connection of its own, as each copy of the program has.
class OwnConnection {
public:
    OwnConnection(const QString& address, const QString& name)
        : m_name(name) {
        QDBusConnection::connectToBus(address, m_name);
    }
    ~OwnConnection() { QDBusConnection::disconnectFromBus(m_name); }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;

    [[nodiscard]] QDBusConnection connection() const { return QDBusConnection(m_name); }

private:
    QString m_name;
};

class DbusInstanceGuardTest : public ::testing::TestWithParam<ClaimCase> {};

TEST_P(DbusInstanceGuardTest, ASecondCopyFindsTheFirstOnlyOnItsOwnBus) {
    PrivateBus& bus = sharedBus();
    std::optional<PrivateBus> otherBus;
    if (GetParam().holder == Holder::CopyOnAnotherBus) {
        otherBus.emplace();
        ASSERT_TRUE(otherBus->isRunning()) << otherBus->errorString().toStdString();
    }
    std::optional<OwnConnection> holderConnection;
    std::optional<DbusInstanceGuard> holder;
    if (GetParam().holder != Holder::Nobody) {
        holderConnection.emplace(otherBus ? otherBus->address() : bus.address(), QStringLiteral("holder"));
        holder.emplace(holderConnection->connection());
        ASSERT_EQ(holder->claim(), Claim::Ours);
    }
    OwnConnection starting(bus.address(), QStringLiteral("starting"));
    {
        DbusInstanceGuard guard(starting.connection());
        EXPECT_EQ(guard.claim(), GetParam().expected);
        EXPECT_EQ(bus.isServed(GuardedName),
                  GetParam().expected == Claim::Ours || GetParam().holder == Holder::CopyOnTheSameBus);
    }
    // A copy that gives up its claim frees the name for the next.
    EXPECT_EQ(bus.isServed(GuardedName), GetParam().holder == Holder::CopyOnTheSameBus);
}

INSTANTIATE_TEST_SUITE_P(
    Holders, DbusInstanceGuardTest,
    ::testing::Values(ClaimCase{"Nobody", Holder::Nobody, Claim::Ours},
                      ClaimCase{"CopyOnTheSameBus", Holder::CopyOnTheSameBus, Claim::Taken},
                      ClaimCase{"CopyOnAnotherBus", Holder::CopyOnAnotherBus, Claim::Ours}),
    [](const ::testing::TestParamInfo<ClaimCase>& row) { return std::string(row.param.name); });

TEST(DbusInstanceGuardNoBus, WithoutABusTheCopyRunsUnchecked) {
    const NoBus noBus;
    DbusInstanceGuard guard(noBus.connection());
    EXPECT_EQ(guard.claim(), Claim::Unchecked);
}

} // namespace
} // namespace velmor::test
