#include "core/homevision_commands.h"
#include "telephony/call_event_handler.h"
#include "telephony/call_observer.h"
#include "tests/support/fake_window.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

class RecordingCommands : public HomeVisionCommands {
public:
    qint16 Send_DDE_Command(const QString& command) override {
        sent.append(command);
        return -1;
    }
    QStringList sent;
};

class RecordingObserver : public CallObserver {
public:
    void callReported(const CallReport& call) override { calls.push_back(call); }
    std::vector<CallReport> calls;
};

struct CallCase {
    std::array<const char*, 5> texts;
    int commandsSent;
};

class CallEventTest : public ::testing::TestWithParam<CallCase> {};

TEST_P(CallEventTest, MarksTheCallTellsTheObserverAndSendsOnlyForAFourthText) {
    FakeWindow window;
    RecordingCommands homeVision;
    RecordingObserver observer;
    CallEventHandler handler(window, homeVision, &observer);
    const auto& t = GetParam().texts;

    handler.CallSoft1_CallSoftCallEvent(QString::fromUtf8(t[0]), QString::fromUtf8(t[1]),
                                        QString::fromUtf8(t[2]), QString::fromUtf8(t[3]),
                                        QString::fromUtf8(t[4]));
    handler.CallSoft1_CallSoftCallEvent(QString::fromUtf8(t[0]), QString::fromUtf8(t[1]),
                                        QString::fromUtf8(t[2]), QString::fromUtf8(t[3]),
                                        QString::fromUtf8(t[4]));

    EXPECT_EQ(window.label19, QStringLiteral("yes"));
    EXPECT_EQ(homeVision.sent, QStringList(qsizetype{2} * GetParam().commandsSent, QStringLiteral(",Y1E02")));
    const CallReport told{QString::fromUtf8(t[0]), QString::fromUtf8(t[1]), QString::fromUtf8(t[2]),
                          QString::fromUtf8(t[3]), QString::fromUtf8(t[4])};
    EXPECT_EQ(observer.calls, (std::vector<CallReport>{told, told}));
}

INSTANTIATE_TEST_SUITE_P(Events, CallEventTest,
                         ::testing::Values(CallCase{{"12082026", "0930", "HOME", "", "NO NAME"}, 0},
                                           CallCase{{"", "", "", " ", ""}, 1},
                                           CallCase{{"", "", "", "5551234", ""}, 1},
                                           CallCase{{"x", "y", "z", "", "w"}, 0}));

} // namespace
} // namespace velmor::test
