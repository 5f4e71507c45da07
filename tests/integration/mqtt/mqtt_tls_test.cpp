#include "tests/integration/mqtt/mqtt_window.h"
#include "tests/support/fake_message_box.h"
#include "tests/support/throwaway_mosquitto.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;

struct TlsCase {
    const char* name;
    bool trusted;
    std::vector<std::string> boxes;
};

void PrintTo(const TlsCase& c, std::ostream* out) {
    *out << c.name;
}

// libmosquitto is set up for the whole program by the shared broker's environment.
class MqttTlsTest : public ::testing::TestWithParam<TlsCase> {};

TEST_P(MqttTlsTest, MqttsTrustsTheSystemsCertificateStore) {
    ThrowawayMosquitto secured(ThrowawayMosquitto::Options{.tls = true});
    ASSERT_TRUE(secured.start()) << secured.failure().toStdString();
    HomeVisionProcess controller(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), secured.url());
    ASSERT_TRUE(controller.start()) << controller.standardError().toStdString();

    // OpenSSL's default store is whatever SSL_CERT_FILE names.
    const QByteArray saved = qgetenv("SSL_CERT_FILE");
    qputenv("SSL_CERT_FILE", GetParam().trusted ? secured.caFile().toLocal8Bit() : QByteArray("/dev/null"));
    {
        MqttWindow window(secured.tlsUrl());
        EXPECT_EQ(window.open(), GetParam().boxes.empty() ? 0 : -1);
        EXPECT_EQ(window.log.entries(), GetParam().boxes);
        if (GetParam().trusted) {
            EXPECT_EQ(window.send(QStringLiteral(",O1900")), 0);
            EXPECT_THAT(controller.waitForPokes("DDECommand", 1), ElementsAre(",O1900"));
        }
    }
    if (saved.isNull())
        qunsetenv("SSL_CERT_FILE");
    else
        qputenv("SSL_CERT_FILE", saved);
}

INSTANTIATE_TEST_SUITE_P(, MqttTlsTest,
                         ::testing::Values(TlsCase{"TrustedAuthority", true, {}},
                                           TlsCase{"UnknownAuthority", false, {NotRunning}}),
                         [](const ::testing::TestParamInfo<TlsCase>& test) { return test.param.name; });

} // namespace
} // namespace velmor::test
