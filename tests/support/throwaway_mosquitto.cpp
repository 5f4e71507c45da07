#include "tests/support/throwaway_mosquitto.h"

#include "tests/support/child_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>

namespace velmor::test {

namespace {

constexpr int StartTimeoutMs = 10'000;
constexpr int ToolTimeoutMs = 30'000;
constexpr int PollMs = 20;

// The kernel's choice of a port nobody uses now; the broker takes it a moment later.
quint16 freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

QString program(const QString& name) {
    // Debian puts the broker in sbin, which an ordinary user's PATH may lack.
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(
                                 name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")})
                           : found;
}

bool run(const QString& name, const QStringList& arguments, const QString& folder, QString& output) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(name), arguments);
    const bool ended = process.waitForFinished(ToolTimeoutMs);
    output = QString::fromLocal8Bit(process.readAll());
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0 &&
           file.flush();
}

} // namespace

ThrowawayMosquitto::ThrowawayMosquitto()
    : ThrowawayMosquitto(Options{}) {}

ThrowawayMosquitto::ThrowawayMosquitto(Options options)
    : m_options(options) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_folder.filePath(QStringLiteral("output")));
    endWithParent(m_process);
}

ThrowawayMosquitto::~ThrowawayMosquitto() {
    stop();
}

QString ThrowawayMosquitto::url(bool withLogin) const {
    return address(QStringLiteral("mqtt"), m_port, withLogin);
}

QString ThrowawayMosquitto::tlsUrl() const {
    return address(QStringLiteral("mqtts"), m_tlsPort, true);
}

QString ThrowawayMosquitto::address(const QString& scheme, quint16 port, bool withLogin) const {
    const QString login = m_options.requireLogin && withLogin
                              ? QLatin1String(User) + QLatin1Char(':') +
                                    QString::fromUtf8(QByteArray(Password).toPercentEncoding()) +
                                    QLatin1Char('@')
                              : QString();
    return scheme + QStringLiteral("://") + login + QStringLiteral("127.0.0.1:") + QString::number(port);
}

QString ThrowawayMosquitto::caFile() const {
    return m_folder.filePath(QStringLiteral("ca.crt"));
}

QString ThrowawayMosquitto::log() const {
    QString text;
    for (const char* name : {"mosquitto.log", "output"}) {
        QFile file(m_folder.filePath(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

bool ThrowawayMosquitto::fail(const QString& why) {
    m_failure = why + QStringLiteral("\nThe broker's log:\n") + log();
    stop();
    return false;
}

bool ThrowawayMosquitto::makeCertificates() {
    QString output;
    const QString folder = m_folder.path();
    const QStringList key{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                          QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    if (!run(QStringLiteral("openssl"),
             QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + key +
                 QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"),
                             QStringLiteral("ca.crt"), QStringLiteral("-days"), QStringLiteral("2"),
                             QStringLiteral("-subj"), QStringLiteral("/CN=Velmor test authority")},
             folder, output) ||
        !run(QStringLiteral("openssl"),
             QStringList{QStringLiteral("req")} + key +
                 QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"), QStringLiteral("-out"),
                             QStringLiteral("server.csr"), QStringLiteral("-subj"),
                             QStringLiteral("/CN=127.0.0.1")},
             folder, output) ||
        !writeFile(m_folder.filePath(QStringLiteral("server.ext")),
                   QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost\n")) ||
        !run(QStringLiteral("openssl"),
             {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
              QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.crt"),
              QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
              QStringLiteral("-out"), QStringLiteral("server.crt"), QStringLiteral("-days"),
              QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("server.ext")},
             folder, output)) {
        m_failure = QStringLiteral("openssl could not make the certificates: ") + output;
        return false;
    }
    return true;
}

bool ThrowawayMosquitto::prepare() {
    if (m_prepared)
        return true;
    if (!m_folder.isValid())
        return fail(QStringLiteral("cannot make a temporary folder"));
    m_port = freePort();
    m_tlsPort = m_options.tls ? freePort() : 0;
    if (m_port == 0 || (m_options.tls && m_tlsPort == 0))
        return fail(QStringLiteral("no free local port"));

    // Run as root, the broker would switch to its own user, who cannot read this folder.
    QString text = QStringLiteral("user root\n"
                                  "persistence false\n"
                                  "log_dest file %1\n"
                                  "log_type error\nlog_type warning\nlog_type notice\nlog_type information\n"
                                  "connection_messages true\n")
                       .arg(m_folder.filePath(QStringLiteral("mosquitto.log")));
    if (m_options.requireLogin) {
        QString output;
        if (!run(QStringLiteral("mosquitto_passwd"),
                 {QStringLiteral("-b"), QStringLiteral("-c"), QStringLiteral("passwords"),
                  QLatin1String(User), QLatin1String(Password)},
                 m_folder.path(), output))
            return fail(QStringLiteral("mosquitto_passwd failed: ") + output);
        text += QStringLiteral("allow_anonymous false\npassword_file %1\n")
                    .arg(m_folder.filePath(QStringLiteral("passwords")));
    } else {
        text += QStringLiteral("allow_anonymous true\n");
    }
    if (*m_options.acl != '\0') {
        if (!writeFile(m_folder.filePath(QStringLiteral("acl")), QString::fromUtf8(m_options.acl)))
            return fail(QStringLiteral("cannot write the access list"));
        text += QStringLiteral("acl_file %1\n").arg(m_folder.filePath(QStringLiteral("acl")));
    }
    // Small packets go out at once rather than wait for the peer's delayed acknowledgement.
    text += QStringLiteral("set_tcp_nodelay true\nlistener %1 127.0.0.1\n").arg(m_port);
    if (m_options.tls) {
        if (!makeCertificates())
            return fail(m_failure);
        text +=
            QStringLiteral("listener %1 127.0.0.1\ncafile %2\ncertfile %3\nkeyfile %4\n")
                .arg(QString::number(m_tlsPort), caFile(), m_folder.filePath(QStringLiteral("server.crt")),
                     m_folder.filePath(QStringLiteral("server.key")));
    }
    if (!writeFile(m_folder.filePath(QStringLiteral("mosquitto.conf")), text))
        return fail(QStringLiteral("cannot write mosquitto.conf"));
    m_prepared = true;
    return true;
}

bool ThrowawayMosquitto::start() {
    m_failure.clear();
    if (isRunning())
        return true;
    if (!prepare())
        return false;
    m_process.start(program(QStringLiteral("mosquitto")),
                    {QStringLiteral("-c"), m_folder.filePath(QStringLiteral("mosquitto.conf"))});
    if (!m_process.waitForStarted(StartTimeoutMs))
        return fail(QStringLiteral("cannot start mosquitto: ") + m_process.errorString());

    const QDeadlineTimer deadline(StartTimeoutMs);
    while (true) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(PollMs * 10))
            return true;
        // Waiting on the process notices at once when the broker gave up on its configuration.
        if (m_process.waitForFinished(PollMs) || deadline.hasExpired())
            return fail(QStringLiteral("mosquitto did not come up on port ") + QString::number(m_port));
    }
}

void ThrowawayMosquitto::stop() {
    resume();
    stopChild(m_process, 5000);
}

void ThrowawayMosquitto::pause() {
    if (isRunning())
        ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP);
}

void ThrowawayMosquitto::resume() {
    if (isRunning())
        ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);
}

} // namespace velmor::test
