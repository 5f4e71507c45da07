#include "announce/velmor_payloads.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

struct PayloadCase {
    const char* name;
    QByteArray actual;
    const char* expected;
};

void PrintTo(const PayloadCase& c, std::ostream* out) {
    *out << c.name;
}

class PayloadTest : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(PayloadTest, IsExactJson) {
    EXPECT_EQ(GetParam().actual.toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , PayloadTest,
    ::testing::Values(
        // The real-broker test checks a plain track and call; these are the awkward ones.
        // Whatever the report held is passed on as text: JSON escapes, never a cut or a changed value.
        PayloadCase{"escaped and non-ASCII",
                    nowPlayingJson({QStringLiteral("A \\ B"), QStringLiteral("Bj\u00f6rk"),
                                    QStringLiteral("it's \"so\"\ttabbed"), QStringLiteral("9:5")}),
                    "{\"artist\":\"Bj\xC3\xB6rk\",\"disc\":\"A \\\\ B\",\"time\":\"9:5\","
                    "\"track\":\"it's \\\"so\\\"\\ttabbed\"}"},
        PayloadCase{"empty fields", nowPlayingJson({}), R"({"artist":"","disc":"","time":"","track":""})"},
        PayloadCase{"call with missing texts", callJson({}),
                    R"({"date":"","event_type":"call","line":"","name":"","number":"","time":""})"}));

} // namespace
} // namespace velmor::test
