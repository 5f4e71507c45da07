#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace velmor::test {

class PrivateBus;
class WindowsBuild;

// One line of the stand-in's transcript. Kept as std::string so gMock matchers print it readably.
struct TranscriptEntry {
    std::string direction; // "received" or "sent"
    std::string call;      // Initiate, Advise, Poke, Request; ItemChanged when sent
    std::string item;
    std::string value;

    friend bool operator==(const TranscriptEntry&, const TranscriptEntry&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TranscriptEntry& entry);
};

using Transcript = std::vector<TranscriptEntry>;

// The HomeVision stand-in (velmor-homevision) run as a child process on a private bus or an MQTT
// broker, or its Windows build serving real DDE under wine, in transcript mode, so that a test reads what it
// received and sent. Waits are bounded and run the event loop. Its output goes to files, not pipes: a test
// blocked in a poke reads nothing, and a stand-in held up writing its transcript into a full pipe would never
// answer that poke.
class HomeVisionProcess {
public:
    static constexpr int WaitTimeoutMs = 10000;

    HomeVisionProcess(QString program, const PrivateBus& bus);
    // Serving on the MQTT broker at this address (as VELMOR_MQTT takes it) instead.
    HomeVisionProcess(QString program, QString mqttBroker);
    // The Windows stand-in, serving real DDE under wine.
    explicit HomeVisionProcess(const WindowsBuild& windows);
    ~HomeVisionProcess();
    HomeVisionProcess(const HomeVisionProcess&) = delete;
    HomeVisionProcess& operator=(const HomeVisionProcess&) = delete;

    // Starts it with these further options and waits until it serves its bus name (or, over MQTT,
    // says it serves).
    [[nodiscard]] bool start(const QStringList& options = {},
                             const QString& service = QStringLiteral("org.velmor.DDE.HOMEVIS"));
    // One line of its standard input: a message to deliver.
    void writeLine(const QString& line);
    void closeInput();

    // The transcript read so far.
    [[nodiscard]] const Transcript& transcript();
    // Waits until the transcript satisfies the condition; false when it did not in time.
    bool waitFor(const std::function<bool(const Transcript&)>& condition);
    // The values poked to the item, in order.
    [[nodiscard]] std::vector<std::string> pokes(const std::string& item);
    // Waits until count values were poked to the item and returns all of them.
    std::vector<std::string> waitForPokes(const std::string& item, std::size_t count);

    // Asks it to end (SIGTERM) and returns its exit code, or -1 when it did not end normally in time.
    int stop();
    // Waits for it to end on its own; the exit code as for stop().
    int waitForExit();
    [[nodiscard]] QString standardError();

private:
    void readTranscript();

    QString m_program;
    // What comes before its own options: the stand-in's Windows program, for wine.
    QStringList m_programArguments;
    const PrivateBus* m_bus = nullptr;
    QString m_mqttBroker;
    QTemporaryDir m_outputDir;
    QProcess m_process;
    QFile m_output;
    QByteArray m_partialLine;
    Transcript m_transcript;
};

} // namespace velmor::test
