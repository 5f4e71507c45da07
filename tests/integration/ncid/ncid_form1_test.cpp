#include "platform/ncid/ncid_telephony_control.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/ncid_stand_in.h"
#include "tests/support/window_on_links.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::Contains;
using ::testing::Not;

constexpr int WaitMs = 10000;

struct AnnouncedCall {
    const char* input;
    bool reportedToHomeVision;
};

// One server for every case, made with the suite.
std::unique_ptr<NcidStandIn> s_server;

// The caller-ID client of the shared server, made before the window that takes it over.
struct NcidClient {
    std::unique_ptr<NcidTelephonyControl> owned = std::make_unique<NcidTelephonyControl>(
        NcidServerAddress{QStringLiteral("127.0.0.1"), s_server->port()});
    NcidTelephonyControl* ncid = owned.get();
};

// The window with the caller-ID client in its place and fakes for everything else, so that a call
// announced by a real server is followed all the way to what goes to HomeVision.
class NcidForm1Test : public ::testing::TestWithParam<AnnouncedCall>,
                      public NcidClient,
                      public WindowOnLinks<FakeDdeLink> {
protected:
    NcidForm1Test()
        : WindowOnLinks([this] { return std::make_unique<FakeDdeLink>(log); },
                        [this](Form1Parts& parts) { parts.callSoft1 = std::move(owned); }) {}

    static void SetUpTestSuite() { s_server = std::make_unique<NcidStandIn>(); }
    static void TearDownTestSuite() { s_server.reset(); }
    void SetUp() override { ASSERT_TRUE(s_server->started()); }
};

TEST_P(NcidForm1Test, AnAnnouncedCallMarksTheWindowAndIsReportedOnlyWithANumber) {
    QSignalSpy ready(ncid, &NcidTelephonyControl::serverReady);
    ASSERT_EQ(form->start(), 0);
    ASSERT_TRUE(ready.wait(WaitMs));
    auto* label19 = form->findChild<QLabel*>(QStringLiteral("Label19"));
    ASSERT_NE(label19, nullptr);
    ASSERT_EQ(label19->text(), QString());
    log.clear();

    s_server->announce(QString::fromUtf8(GetParam().input));
    ASSERT_TRUE(QTest::qWaitFor([&] { return label19->text() == QStringLiteral("yes"); }, WaitMs));

    if (GetParam().reportedToHomeVision)
        EXPECT_THAT(log.entries(), Contains("DDECommand poke ,Y1E02").Times(1));
    else
        EXPECT_THAT(log.entries(), Not(Contains("DDECommand poke ,Y1E02")));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, NcidForm1Test,
    ::testing::Values(AnnouncedCall{"- NO NUMBER SENT", false},
                      AnnouncedCall{">CID: *DATE*12082026*TIME*0930*NAME*NO NMBR LABEL*", false},
                      AnnouncedCall{"5555550123 JOHN Q PUBLIC", true}, AnnouncedCall{"OUT-OF-AREA", true}));

} // namespace
} // namespace velmor::test
