#include "app/form1.h"
#include "platform/ncid/ncid_telephony_control.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/fake_dde_link.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/fake_slink_control.h"
#include "tests/support/ncid_stand_in.h"

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

// The window with the caller-ID client in its place and fakes for everything else, so that a call
// announced by a real server is followed all the way to what goes to HomeVision.
class NcidForm1Test : public ::testing::TestWithParam<AnnouncedCall> {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<NcidStandIn>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        ASSERT_TRUE(s_server->started());
        Form1Parts parts;
        parts.ddeLinks.forEach(
            [this](HvLabel, std::unique_ptr<DdeLink>& link) { link = std::make_unique<FakeDdeLink>(log); });
        parts.slinkx = std::make_unique<FakeSlinkControl>(log);
        auto control = std::make_unique<NcidTelephonyControl>(
            NcidServerAddress{QStringLiteral("127.0.0.1"), s_server->port()});
        callSoft1 = control.get();
        parts.callSoft1 = std::move(control);
        parts.messageBox = std::make_unique<FakeMessageBox>(log);
        parts.files = std::make_unique<PosixRegularFiles>();
        form = std::make_unique<Form1>(std::move(parts));
    }

    static inline std::unique_ptr<NcidStandIn> s_server;
    CallLog log;
    NcidTelephonyControl* callSoft1 = nullptr;
    std::unique_ptr<Form1> form;
};

TEST_P(NcidForm1Test, AnAnnouncedCallMarksTheWindowAndIsReportedOnlyWithANumber) {
    QSignalSpy ready(callSoft1, &NcidTelephonyControl::serverReady);
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
