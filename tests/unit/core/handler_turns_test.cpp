#include "core/handler_turns.h"

#include <QCoreApplication>
#include <gmock/gmock.h>

namespace velmor::test {
namespace {

struct TurnsCase {
    const char* name;
    // Raises handlers on the turns, writing what runs into the list.
    std::function<void(HandlerTurns&, std::vector<std::string>&)> events;
    std::vector<std::string> ran;
};

void PrintTo(const TurnsCase& c, std::ostream* out) {
    *out << c.name;
}

void raise(HandlerTurns& turns, std::vector<std::string>& ran, const char* name,
           const std::function<void()>& inside = {}) {
    turns.run(name, {}, [&ran, name, inside] {
        ran.emplace_back(name);
        if (inside)
            inside();
        ran.push_back(std::string("/") + name);
    });
}

class HandlerTurnsTest : public ::testing::TestWithParam<TurnsCase> {};

TEST_P(HandlerTurnsTest, NoHandlerStartsInsideAWaitAndKeptOnesRunAfterItInOrder) {
    HandlerTurns turns;
    std::vector<std::string> ran;
    GetParam().events(turns, ran);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, GetParam().ran);
}

INSTANTIATE_TEST_SUITE_P(, HandlerTurnsTest,
                         ::testing::Values(TurnsCase{"RaisedByAHandlerRunsAtOnce",
                                                     [](HandlerTurns& turns, std::vector<std::string>& ran) {
                                                         raise(turns, ran, "a",
                                                               [&] { raise(turns, ran, "b"); });
                                                     },
                                                     {"a", "b", "/b", "/a"}},
                                           TurnsCase{"RaisedDuringAWaitRunsAfterIt",
                                                     [](HandlerTurns& turns, std::vector<std::string>& ran) {
                                                         raise(turns, ran, "a", [&] {
                                                             const HandlerTurns::Waiting waiting(turns);
                                                             raise(turns, ran, "b");
                                                             raise(turns, ran, "c");
                                                         });
                                                     },
                                                     {"a", "/a", "b", "/b", "c", "/c"}},
                                           TurnsCase{"ALaterEventQueuesBehindTheKeptOnes",
                                                     [](HandlerTurns& turns, std::vector<std::string>& ran) {
                                                         {
                                                             const HandlerTurns::Waiting waiting(turns);
                                                             raise(turns, ran, "b");
                                                         }
                                                         raise(turns, ran, "c");
                                                     },
                                                     {"b", "/b", "c", "/c"}}),
                         [](const ::testing::TestParamInfo<TurnsCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
