#include "app/graphical_session.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

struct SessionCase {
    const char* name;
    ScreenEnvironment environment;
    bool missing;
};

void PrintTo(const SessionCase& c, std::ostream* out) {
    *out << c.name;
}

class GraphicalSessionTest : public ::testing::TestWithParam<SessionCase> {};

TEST_P(GraphicalSessionTest, SaysSoOnlyWhenNothingNamesAScreen) {
    const std::optional<QString> missing = missingGraphicalSession(GetParam().environment);
    ASSERT_EQ(missing.has_value(), GetParam().missing);
    if (missing) {
        EXPECT_FALSE(missing->contains(QLatin1Char('\n')));
        EXPECT_TRUE(missing->contains(QLatin1String("graphical session")));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphicalSessionTest,
                         ::testing::Values(SessionCase{"NothingSet", {}, true},
                                           SessionCase{"AllEmpty", {"", "", ""}, true},
                                           SessionCase{"X", {":0", "", ""}, false},
                                           SessionCase{"Wayland", {"", "wayland-0", ""}, false},
                                           SessionCase{"Both", {":1", "wayland-1", ""}, false},
                                           SessionCase{"PlatformChosen", {"", "", "offscreen"}, false}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velmor::test
