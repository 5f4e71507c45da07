#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace velmor::test {

// An MQTT broker of a test's own (Debian's mosquitto, never the system service): a generated
// configuration in a private folder, a listener on a free local port and, when asked, a password file
// and a TLS listener whose certificate comes from a certificate authority made for it. It keeps its
// ports when stopped and started again, so clients can find it back.
class ThrowawayMosquitto {
public:
    struct Options {
        // Only User with Password may log in.
        bool requireLogin = false;
        // A second listener that speaks TLS; clients trust caFile() through SSL_CERT_FILE.
        bool tls = false;
        // The access list anonymous clients get, in the broker's acl_file syntax; none when empty.
        const char* acl = "";
    };
    static constexpr const char* User = "homeowner";
    static constexpr const char* Password = "s3cr3t-p@ss";

    explicit ThrowawayMosquitto(Options options);
    ThrowawayMosquitto();
    ~ThrowawayMosquitto();
    ThrowawayMosquitto(const ThrowawayMosquitto&) = delete;
    ThrowawayMosquitto& operator=(const ThrowawayMosquitto&) = delete;

    // Starts the broker and waits until it takes connections. On failure, says why in failure().
    [[nodiscard]] bool start();
    void stop();
    // Freezes the broker (SIGSTOP) as a hung one: its port still takes connections and bytes.
    void pause();
    void resume();
    [[nodiscard]] bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    [[nodiscard]] quint16 port() const { return m_port; }
    // mqtt://127.0.0.1:PORT, with the login when one is required and `withLogin` says so.
    [[nodiscard]] QString url(bool withLogin = true) const;
    // mqtts://127.0.0.1:TLSPORT with the login when one is required.
    [[nodiscard]] QString tlsUrl() const;
    // The certificate of the authority that signed the TLS listener's certificate.
    [[nodiscard]] QString caFile() const;
    [[nodiscard]] QString failure() const { return m_failure; }
    [[nodiscard]] QString log() const;

private:
    [[nodiscard]] QString address(const QString& scheme, quint16 port, bool withLogin) const;
    bool prepare();
    bool makeCertificates();
    bool fail(const QString& why);

    Options m_options;
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    bool m_prepared = false;
    QString m_failure;
};

} // namespace velmor::test
