#include "tests/widgets/form1_fixture.h"

#include <QLineEdit>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace velmor::test {
namespace {

constexpr int Reports = 10'000;

std::string field(const char* name, int track) {
    return std::string(name) + ' ' + std::to_string(track);
}

std::string timeOf(int track) {
    const int minutes = track / 60 % 100;
    const int seconds = track % 60;
    return (minutes < 10 ? "0" : "") + std::to_string(minutes) + ':' + (seconds < 10 ? "0" : "") +
           std::to_string(seconds);
}

QString reportOf(int track) {
    return QString::fromStdString("playing[\"" + field("Disc", track) + "\",\"" + field("Artist", track) +
                                  "\",\"" + field("Track", track) + "\",\"" + timeOf(track) + "\"]");
}

// The track a whole now-playing file describes; -1 when the text is not one whole file of one track.
int trackOfWholeFile(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t end = 0;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start != text.size() || lines.size() != 10)
        return -1;
    const std::string& title = lines[2];
    if (!title.starts_with("Track "))
        return -1;
    const int track = std::atoi(title.c_str() + 6);
    const std::vector<std::string> expected{" ' Current Track Info '",
                                            "",
                                            field("Track", track),
                                            "",
                                            "Track Time: " + timeOf(track),
                                            std::string(24, '-'),
                                            "       Disc Info",
                                            "D:" + field("Disc", track),
                                            "A:" + field("Artist", track),
                                            ""};
    return lines == expected ? track : -1;
}

// Reads the file over and over on a thread of its own, as another program would, while the window
// rewrites it; counts what it read and keeps the first read that was not a whole file.
class PollingReader {
public:
    explicit PollingReader(std::string path)
        : m_path(std::move(path))
        , m_thread([this] { run(); }) {}
    ~PollingReader() { stop(); }
    PollingReader(const PollingReader&) = delete;
    PollingReader& operator=(const PollingReader&) = delete;

    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    [[nodiscard]] int reads() const { return m_reads; }
    [[nodiscard]] int lastTrack() const { return m_lastTrack; }
    // Only after stop().
    [[nodiscard]] int torn() const { return m_torn; }
    [[nodiscard]] const std::string& firstTorn() const { return m_firstTorn; }

private:
    void run() {
        while (!m_stop) {
            std::ifstream in(m_path, std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            const int track = in ? trackOfWholeFile(text) : -1;
            if (track < 0 && m_torn++ == 0)
                m_firstTorn = in ? text : "(could not be opened)";
            m_lastTrack = track;
            ++m_reads;
        }
    }

    std::string m_path;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_reads = 0;
    std::atomic<int> m_lastTrack = -1;
    int m_torn = 0;
    std::string m_firstTorn;
    std::thread m_thread;
};

TEST_F(Form1Test, AReaderPollingTheNowPlayingFileWhileTenThousandReportsRewriteItSeesOnlyWholeFiles) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("cdnow.txt"));
    form->controls().CDInfo->setText(path);
    slinkx->report(QStringLiteral("cdj"), reportOf(0));

    PollingReader reader(path.toStdString());
    for (int track = 1; track <= Reports; ++track) {
        slinkx->report(QStringLiteral("cdj"), reportOf(track));
        // Now and then the writer lets the reader catch up, so their turns are sure to interleave
        // however the two threads are scheduled.
        if (track % 500 == 0) {
            const int readsBefore = reader.reads();
            while (reader.reads() == readsBefore)
                std::this_thread::yield();
        }
    }
    // A read that began before the last rewrite may end after it; the one after that began later.
    const int readsAfterLast = reader.reads();
    while (reader.reads() < readsAfterLast + 2)
        std::this_thread::yield();
    reader.stop();

    EXPECT_EQ(reader.torn(), 0) << "first torn read:\n" << reader.firstTorn();
    EXPECT_GE(reader.reads(), Reports / 500);
    EXPECT_EQ(reader.lastTrack(), Reports);
}

} // namespace
} // namespace velmor::test
