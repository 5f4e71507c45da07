#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace velmor::bench {

// A built program (Velmor, or the bare window it is compared with) as a child process, in a working
// folder of its own. Velmor's jukebox and
// caller-ID peers point at addresses where nothing answers: it retries them in the background.
class ProgramUnderTest {
public:
    static constexpr int WaitTimeoutMs = 10000;

    ProgramUnderTest(QString program, QProcessEnvironment environment, QStringList arguments = {});
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts it without waiting for anything but the process itself.
    [[nodiscard]] bool start();
    // Asks it to close its window, as the desktop would, and waits for it to end.
    void stop();

    [[nodiscard]] qint64 pid() const { return m_process.processId(); }
    // Its resident set size (VmRSS) in KiB; 0 when it cannot be read.
    [[nodiscard]] qint64 residentKiB() const;
    // What it wrote to stderr so far.
    [[nodiscard]] QString errorOutput() const;

private:
    QString m_program;
    QStringList m_arguments;
    QTemporaryDir m_folder;
    QProcess m_process;
};

// The built Velmor, or the program VELMOR_BENCH_PROGRAM names (an older build, to compare with).
QString velmorProgram();

// The environment every program under measurement gets: the caller's, plus the bus and the display.
QProcessEnvironment measuredEnvironment(const QString& busAddress, const QString& platform);

} // namespace velmor::bench
