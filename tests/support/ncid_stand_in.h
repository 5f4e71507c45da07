#pragma once

#include <QProcess>
#include <QStringList>

#include <optional>

namespace velmor::test {

// The stand-in NCID server (velmor-ncid-server) as a child process, driven through its standard
// input and followed through its standard output.
class NcidStandIn {
public:
    // Starts the server on the port (0: a free one) and waits until it listens; check started().
    explicit NcidStandIn(quint16 port = 0);
    ~NcidStandIn();
    NcidStandIn(const NcidStandIn&) = delete;
    NcidStandIn& operator=(const NcidStandIn&) = delete;

    [[nodiscard]] bool started() const { return m_port != 0; }
    [[nodiscard]] quint16 port() const { return m_port; }

    // One line of the server's input: "NUMBER NAME..." or ">raw line".
    void announce(const QString& input);
    // Waits until the server has printed a line starting with the prefix; returns that line.
    std::optional<QString> waitForOutput(const QString& prefix);
    [[nodiscard]] bool printed(const QString& prefix) const;
    // Every line the server has printed so far.
    [[nodiscard]] const QStringList& output() const { return m_output; }
    // Ends the input and waits for a clean exit. Returns true when the server exited with status 0.
    bool stop();
    // Ends the server at once, as a crash would.
    void kill();

private:
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_output;
    quint16 m_port = 0;
};

} // namespace velmor::test
