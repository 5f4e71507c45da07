#include "tests/support/throwaway_mpd.h"

#include "platform/mpd/mpd_handles.h"
#include "tests/support/child_process.h"

#include <QDeadlineTimer>
#include <QFile>

namespace velmor::test {

namespace {

constexpr int StartTimeoutMs = 10'000;
constexpr int UpdateTimeoutMs = 30'000;
constexpr int PollMs = 20;

QString quotedForConfiguration(QString value) {
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace

ThrowawayMpd::ThrowawayMpd(QString musicFolder)
    : m_musicFolder(std::move(musicFolder))
    // In /tmp whatever TMPDIR says: a unix socket path must stay short.
    , m_folder(QStringLiteral("/tmp/velmor-mpd-XXXXXX")) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A test program that dies takes its MPD with it, instead of leaving it to serve an empty folder.
    endWithParent(m_process);
}

ThrowawayMpd::~ThrowawayMpd() {
    stop();
}

QString ThrowawayMpd::socketPath() const {
    return m_folder.filePath(QStringLiteral("socket"));
}

QString ThrowawayMpd::log() const {
    QFile file(m_folder.filePath(QStringLiteral("mpd.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool ThrowawayMpd::fail(const QString& why) {
    m_failure = why + QStringLiteral("\nMPD's log:\n") + log() + QString::fromLocal8Bit(m_process.readAll());
    stop();
    return false;
}

bool ThrowawayMpd::writeConfiguration() {
    QFile file(m_folder.filePath(QStringLiteral("mpd.conf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // At "info" the log also tells when each client comes and goes. Comment tags, which MPD leaves out
    // unless told, are served as a library that shows them would.
    const QString text = QStringLiteral("music_directory %1\n"
                                        "db_file %2\n"
                                        "log_file %3\n"
                                        "log_level \"info\"\n"
                                        "metadata_to_use \"+comment\"\n"
                                        "bind_to_address %4\n"
                                        "auto_update \"no\"\n"
                                        "zeroconf_enabled \"no\"\n"
                                        "audio_output {\n"
                                        "    type \"null\"\n"
                                        "    name \"null\"\n"
                                        "}\n")
                             .arg(quotedForConfiguration(m_musicFolder),
                                  quotedForConfiguration(m_folder.filePath(QStringLiteral("database"))),
                                  quotedForConfiguration(m_folder.filePath(QStringLiteral("mpd.log"))),
                                  quotedForConfiguration(socketPath()));
    return file.write(text.toUtf8()) >= 0 && file.flush();
}

bool ThrowawayMpd::start() {
    m_failure.clear();
    if (isRunning())
        return true;
    if (!m_folder.isValid())
        return fail(QStringLiteral("cannot make a temporary folder"));
    if (!writeConfiguration())
        return fail(QStringLiteral("cannot write mpd.conf"));

    m_process.start(QStringLiteral("mpd"),
                    {QStringLiteral("--no-daemon"), m_folder.filePath(QStringLiteral("mpd.conf"))});
    if (!m_process.waitForStarted(StartTimeoutMs))
        return fail(QStringLiteral("cannot start mpd: ") + m_process.errorString());

    // A socket left by an earlier run is still there, so only an answer shows that MPD is up.
    const QByteArray socket = socketPath().toUtf8();
    MpdConnectionHandle connection;
    const QDeadlineTimer startDeadline(StartTimeoutMs);
    while (true) {
        connection.reset(mpd_connection_new(socket.constData(), 0, 10000));
        if (connection && mpd_connection_get_error(connection.get()) == MPD_ERROR_SUCCESS)
            break;
        // Waiting on the process notices at once when MPD gave up on its configuration.
        if (m_process.waitForFinished(PollMs) || startDeadline.hasExpired())
            return fail(QStringLiteral("MPD did not come up on ") + socketPath());
    }

    // A busy machine may keep MPD, reading the folder, from answering within the short time-out that
    // only had to tell whether it was up yet.
    mpd_connection_set_timeout(connection.get(), StartTimeoutMs);
    if (mpd_run_update(connection.get(), nullptr) == 0)
        return fail(QStringLiteral("MPD refused to read the music folder"));
    const QDeadlineTimer updateDeadline(UpdateTimeoutMs);
    while (true) {
        const MpdStatusHandle status(mpd_run_status(connection.get()));
        if (!status)
            return fail(QStringLiteral("MPD gave no status while reading the music folder"));
        if (mpd_status_get_update_id(status.get()) == 0)
            return true;
        if (m_process.waitForFinished(PollMs) || updateDeadline.hasExpired())
            return fail(QStringLiteral("MPD did not finish reading the music folder"));
    }
}

void ThrowawayMpd::stop() {
    stopChild(m_process, 5000);
}

void ThrowawayMpd::kill() {
    if (!isRunning())
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

} // namespace velmor::test
