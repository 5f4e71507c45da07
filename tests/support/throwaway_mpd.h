#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace velmor::test {

// A Music Player Daemon of a test's own: a private folder with its configuration, database and log,
// a unix socket in that folder, null audio output and no state file. It serves the music folder it is
// given and can be stopped and started again on the same socket.
class ThrowawayMpd {
public:
    explicit ThrowawayMpd(QString musicFolder);
    ~ThrowawayMpd();
    ThrowawayMpd(const ThrowawayMpd&) = delete;
    ThrowawayMpd& operator=(const ThrowawayMpd&) = delete;

    // Starts MPD, waits until it answers on its socket, then has it read the music folder and waits for
    // that to finish. On failure, says why in failure() and leaves MPD stopped.
    [[nodiscard]] bool start();
    void stop();
    // Ends MPD at once, as a crash would: no goodbye to its clients, its socket file left behind.
    void kill();
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }
    [[nodiscard]] bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // What MPD_HOST should say to reach this MPD.
    [[nodiscard]] QString socketPath() const;
    [[nodiscard]] QString failure() const { return m_failure; }
    [[nodiscard]] QString log() const;

private:
    bool writeConfiguration();
    bool fail(const QString& why);

    QString m_musicFolder;
    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_failure;
};

} // namespace velmor::test
