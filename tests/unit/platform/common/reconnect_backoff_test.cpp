#include "platform/common/reconnect_backoff.h"

#include <gmock/gmock.h>

#include <vector>

namespace velmor::test {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

// One step of a connection's life: an attempt that fails, a connection that opens, or one that is
// lost after it held for some time.
enum class Step { Fails, Opens, HeldFor1s, HeldFor6s };

struct BackoffCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<milliseconds> pauses; // after each failure or loss, in order
    std::vector<bool> warnings;       // whether that failure begins an outage
};

void PrintTo(const BackoffCase& c, std::ostream* out) {
    *out << c.name;
}

class ReconnectBackoffTest : public ::testing::TestWithParam<BackoffCase> {};

TEST_P(ReconnectBackoffTest, PausesAndWarnings) {
    std::chrono::steady_clock::time_point now{};
    ReconnectBackoff backoff(nullptr, [&now] { return now; });
    std::vector<milliseconds> pauses;
    std::vector<bool> warnings;
    for (const Step step : GetParam().steps) {
        switch (step) {
        case Step::Fails:
            warnings.push_back(backoff.retryLater());
            pauses.push_back(backoff.currentPause());
            break;
        case Step::Opens:
            backoff.connected();
            break;
        case Step::HeldFor1s:
        case Step::HeldFor6s:
            now += step == Step::HeldFor1s ? 1s : 6s;
            warnings.push_back(backoff.retryLater());
            pauses.push_back(backoff.currentPause());
            break;
        }
        // The pause has run out and the attempt is made.
        backoff.retryNow();
    }
    EXPECT_THAT(pauses, ::testing::ElementsAreArray(GetParam().pauses));
    EXPECT_THAT(warnings, ::testing::ElementsAreArray(GetParam().warnings));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReconnectBackoffTest,
    ::testing::Values(BackoffCase{"PeerAwayDoublesUpToTenSecondsWarningOnce",
                                  {Step::Fails, Step::Fails, Step::Fails, Step::Fails, Step::Fails,
                                   Step::Fails, Step::Fails},
                                  {500ms, 1s, 2s, 4s, 8s, 10s, 10s},
                                  {true, false, false, false, false, false, false}},
                      BackoffCase{"ConnectionThatHeldStartsAfresh",
                                  {Step::Fails, Step::Fails, Step::Opens, Step::HeldFor6s, Step::Fails},
                                  {500ms, 1s, 500ms, 1s},
                                  {true, false, true, false}},
                      BackoffCase{"ConnectionDroppedAtOnceKeepsGrowing",
                                  {Step::Fails, Step::Opens, Step::HeldFor1s, Step::Opens, Step::HeldFor1s,
                                   Step::Opens, Step::HeldFor1s},
                                  {500ms, 1s, 2s, 4s},
                                  {true, true, true, true}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ReconnectBackoff, StopForgetsTheGrownPause) {
    ReconnectBackoff backoff;
    (void)backoff.retryLater();
    backoff.stop();
    (void)backoff.retryLater();
    backoff.stop();
    EXPECT_FALSE(backoff.isWaiting());
    EXPECT_TRUE(backoff.retryLater());
    EXPECT_EQ(backoff.currentPause(), 500ms);
}

} // namespace
} // namespace velmor::test
