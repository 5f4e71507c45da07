#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace velmor::test {

// The built program as a child process, run in a working folder of its own with the environment it
// is given. Its standard error goes to a file (not a pipe nobody reads), to be shown when a test fails.
class VelmorProcess {
public:
    // Generous: a sanitizer build starts and stops slowly.
    static constexpr int WaitTimeoutMs = 30000;

    explicit VelmorProcess(const QProcessEnvironment& environment);
    ~VelmorProcess();
    VelmorProcess(const VelmorProcess&) = delete;
    VelmorProcess& operator=(const VelmorProcess&) = delete;

    [[nodiscard]] bool start();
    [[nodiscard]] bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }
    // Asks it to close its window the ordinary way (SIGTERM).
    void terminate();
    // Sends it this signal.
    void signal(int number);
    // Ends it without a word (SIGKILL), as a crash or an out-of-memory kill would.
    void kill();
    // Waits for it to end; its exit code, or -1 when it crashed or had to be killed.
    int waitForExit();

    [[nodiscard]] QString workingFolder() const { return m_folder.path(); }
    // The now-playing file of the window's design path, which on Linux names a file in the working folder.
    [[nodiscard]] QString nowPlayingFilePath() const;
    // Its content, or nothing while there is no such file.
    [[nodiscard]] std::optional<QByteArray> nowPlayingFile() const;
    [[nodiscard]] QString standardError() const;

private:
    QTemporaryDir m_folder;
    QTemporaryDir m_outputFolder;
    QProcess m_process;
};

} // namespace velmor::test
