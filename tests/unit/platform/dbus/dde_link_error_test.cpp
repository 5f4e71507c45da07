#include "platform/dbus/dde_link_error.h"

#include <gtest/gtest.h>

namespace velmor::test {
namespace {

struct ErrorCase {
    const char* dbusError;
    int number;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.dbusError;
}

class DdeLinkErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DdeLinkErrorTest, NumbersTheFailureAndKeepsTheBusWordsInTheDescription) {
    const Error error =
        ddeLinkError(QString::fromUtf8(GetParam().dbusError), QStringLiteral("the bus said why"),
                     QStringLiteral("Poke of DDECommand on HOMEVIS|DDE"));
    EXPECT_EQ(error.number(), GetParam().number);
    EXPECT_TRUE(error.description().startsWith(QStringLiteral("Poke of DDECommand on HOMEVIS|DDE")));
    EXPECT_TRUE(error.description().contains(QString::fromUtf8(GetParam().dbusError)));
    EXPECT_TRUE(error.description().contains(QStringLiteral("the bus said why")));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DdeLinkErrorTest,
    ::testing::Values(ErrorCase{"org.freedesktop.DBus.Error.ServiceUnknown", 282},
                      ErrorCase{"org.freedesktop.DBus.Error.NameHasNoOwner", 282},
                      ErrorCase{"org.freedesktop.DBus.Error.UnknownObject", 282},
                      ErrorCase{"org.freedesktop.DBus.Error.UnknownInterface", 282},
                      ErrorCase{"org.freedesktop.DBus.Error.UnknownMethod", 282},
                      ErrorCase{"org.freedesktop.DBus.Error.NoReply", 286},
                      ErrorCase{"org.freedesktop.DBus.Error.Timeout", 286},
                      ErrorCase{"org.freedesktop.DBus.Error.Disconnected", 291},
                      ErrorCase{"org.freedesktop.DBus.Error.AccessDenied", 285},
                      ErrorCase{"org.freedesktop.DBus.Error.InvalidArgs", 285},
                      ErrorCase{"org.freedesktop.DBus.Error.UnknownProperty", 285},
                      ErrorCase{"org.velmor.DDE.Error.Refused", 285},
                      // Compared whole and exact: a look-alike is somebody's own refusal.
                      ErrorCase{"org.freedesktop.DBus.Error.ServiceUnknownish", 285},
                      ErrorCase{"org.freedesktop.dbus.error.serviceunknown", 285}, ErrorCase{"", 285}));

} // namespace
} // namespace velmor::test
