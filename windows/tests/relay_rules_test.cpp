#include "windows/relay/reconnect_pauses.h"
#include "windows/relay/relay_topics.h"

#include <gmock/gmock.h>

namespace velmor::relay {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAreArray;

struct PokeCase {
    const char* topic;
    std::optional<std::string> item;
};

class PokedItemTest : public ::testing::TestWithParam<PokeCase> {};

TEST_P(PokedItemTest, IsTheLevelBetweenTheBaseAndSet) {
    EXPECT_EQ(RelayTopics("HOMEVIS", "DDE").pokedItem(GetParam().topic), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(, PokedItemTest,
                         ::testing::Values(PokeCase{"velmor/HOMEVIS/DDE/DDECommand/set", "DDECommand"},
                                           PokeCase{"velmor/HOMEVIS/DDE/set", std::nullopt},
                                           PokeCase{"velmor/HOMEVIS/DDE//set", std::nullopt},
                                           PokeCase{"velmor/HOMEVIS/DDE/A/B/set", std::nullopt},
                                           PokeCase{"velmor/HOMEVIS/DDEX/A/set", std::nullopt},
                                           PokeCase{"velmor/HOMEVIS/DDE/DDECommand", std::nullopt},
                                           PokeCase{"velmor/HOMEVIS/DDE/state", std::nullopt}));

// Each step: how long the connection had held when it failed (or nothing for a failed attempt), and
// the pause and warning expected then.
struct Step {
    std::optional<std::chrono::milliseconds> heldFor;
    std::chrono::milliseconds pause;
    bool warns;
};

struct PausesCase {
    const char* name;
    std::vector<Step> steps;
};

class ReconnectPausesTest : public ::testing::TestWithParam<PausesCase> {};

TEST_P(ReconnectPausesTest, DoubleUpToTenSecondsAndWarnOncePerOutage) {
    ReconnectPauses pauses;
    auto now = ReconnectPauses::Clock::time_point{} + 1h;
    std::vector<std::pair<long long, bool>> seen;
    std::vector<std::pair<long long, bool>> expected;
    for (const Step& step : GetParam().steps) {
        if (step.heldFor) {
            pauses.connected(now);
            now += *step.heldFor;
        }
        const auto failure = pauses.failed(now);
        seen.emplace_back(failure.pause.count(), failure.beginsOutage);
        expected.emplace_back(step.pause.count(), step.warns);
        now += failure.pause;
    }
    EXPECT_THAT(seen, ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(
    , ReconnectPausesTest,
    ::testing::Values(PausesCase{"NeverConnects",
                                 {{{}, 500ms, true},
                                  {{}, 1s, false},
                                  {{}, 2s, false},
                                  {{}, 4s, false},
                                  {{}, 8s, false},
                                  {{}, 10s, false},
                                  {{}, 10s, false}}},
                      PausesCase{"HeldLongEnough", {{{}, 500ms, true}, {{}, 1s, false}, {6s, 500ms, true}}},
                      PausesCase{"DropsAtOnce", {{{}, 500ms, true}, {1s, 1s, true}, {1s, 2s, true}}}),
    [](const ::testing::TestParamInfo<PausesCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::relay
