#include "core/handler_guard.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

TEST(HandlerGuardTest, ReportedInputStaysOnOneLine) {
    EXPECT_EQ(shortenedForReport(QStringLiteral("a\r\nb\tc")), QStringLiteral("a\u240D\u240Ab\u2409c"));
    EXPECT_EQ(shortenedForReport(QString(100, QLatin1Char('\n')), 3),
              QStringLiteral("\u240A\u240A\u240A... (100 characters)"));
    EXPECT_EQ(shortenedForReport(QStringLiteral("Grüße ~x")), QStringLiteral("Grüße ~x"));
}

} // namespace
} // namespace velmor::test
