#pragma once

#include "tests/support/windows_build.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace velmor::test {

// The DDE relay (velmor-dde-relay.exe) under wine as a child process, its log going to a file (wine's
// helpers would hold a pipe open long after it ended). Waits are bounded and run the event loop.
class RelayProcess {
public:
    static constexpr int WaitTimeoutMs = 20'000;

    RelayProcess(const WindowsBuild& windows, QString brokerUrl);
    ~RelayProcess();
    RelayProcess(const RelayProcess&) = delete;
    RelayProcess& operator=(const RelayProcess&) = delete;

    [[nodiscard]] bool start(const QStringList& options = {});
    // Waits until its log holds the text `count` times in all; false when it does not in time.
    bool waitForLog(const QString& text, int count = 1);
    [[nodiscard]] QString log() const;
    void stop();

private:
    QString m_wine;
    QStringList m_arguments;
    QTemporaryDir m_folder;
    QProcess m_process;
};

} // namespace velmor::test
