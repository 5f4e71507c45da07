#include "tests/e2e/velmor_process.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::HasSubstr;

TEST(EnvironmentEndToEndTest, WithoutAnyDisplayItSaysItNeedsAGraphicalSessionAndEndsWithStatusOne) {
    VelmorProcess velmor{QProcessEnvironment()};
    ASSERT_TRUE(velmor.start());

    EXPECT_EQ(velmor.waitForExit(), 1);
    const QStringList lines = velmor.standardError().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << velmor.standardError().toStdString();
    EXPECT_THAT(lines.front().toStdString(), HasSubstr("needs a graphical session"));
}

} // namespace
} // namespace velmor::test
