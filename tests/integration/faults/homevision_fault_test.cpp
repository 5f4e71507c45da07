#include "hvlink/dde_items.h"
#include "tests/integration/faults/fault_window.h"
#include "tests/support/message_capture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

const QString HomeVisionService = QStringLiteral("org.velmor.DDE.") + HomeVisionApplication;

bool fileHas(const QString& path, const char* text) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
}

// Blocks, without an event loop, until the file holds the text: each write to it wakes the wait.
bool waitForFileText(const QString& path, const char* text, std::chrono::milliseconds limit) {
    const int watch = ::inotify_init1(IN_CLOEXEC);
    if (watch < 0 || ::inotify_add_watch(watch, QFile::encodeName(path).constData(), IN_MODIFY) < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool found = fileHas(path, text);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{watch, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(std::max(left.count(), std::chrono::milliseconds::rep{0}))) >
            0) {
            char events[4096];
            static_cast<void>(::read(watch, events, sizeof events));
        }
        found = fileHas(path, text);
    }
    ::close(watch);
    return found;
}

QStringList logEntries(const QListWidget& list) {
    QStringList entries;
    for (int row = 0; row < list.count(); ++row)
        entries.append(list.item(row)->text());
    return entries;
}

TEST_F(FaultWindowTest, HomeVisionKilledWhileAPokeWaitsFailsEverySendAndTheWindowRunsOn) {
    ASSERT_NO_FATAL_FAILURE(startWindow());
    const qint64 pid = peers.bus().owner(HomeVisionService);
    ASSERT_GT(pid, 0);
    MessageCapture capture;

    // HomeVision freezes, so the poke of the next command waits for its answer; HomeVision dies once
    // the bus has carried that poke, while the window waits.
    QTemporaryDir monitorDir;
    const QString monitored = monitorDir.filePath(QStringLiteral("pokes"));
    QProcess monitor;
    endWithParent(monitor);
    monitor.setStandardOutputFile(monitored);
    monitor.start(QStringLiteral("dbus-monitor"), {QStringLiteral("--address"), peers.bus().address(),
                                                   QStringLiteral("type=method_call,member=Poke")});
    // A monitor says goodbye to its own name once it watches.
    ASSERT_TRUE(waitUntil([&] { return fileHas(monitored, "member=NameLost"); }));
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGSTOP), 0);
    std::thread killer([pid, monitored] {
        // The window's thread waits inside the poke meanwhile, so this cannot run the event loop.
        static_cast<void>(waitForFileText(monitored, "member=Poke", 10s));
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    });
    controls().Check1->click();
    killer.join();
    stopChild(monitor, WaitMs);
    EXPECT_EQ(homeVision.waitForExit(), -1);
    EXPECT_EQ(controls().DDECommand->text(), QStringLiteral(",L0702"));

    EXPECT_EQ(form->ddeConversation().Send_DDE_Command(QStringLiteral(",O1900")), -1);
    EXPECT_EQ(form->ddeConversation().Send_DDE_Message_Ack(), -1);
    // A report still runs its whole handling; only its send to HomeVision goes nowhere.
    ASSERT_TRUE(play(Lanterns));
    EXPECT_EQ(controls().DDECommand->text(), QStringLiteral(",=120000090000"));
    EXPECT_EQ(nowPlayingFile(), fileFor("Harbour Lights", "The Quiet Pines", "Lanterns", "00:09"));
    EXPECT_EQ(form->pendingCommands()[1], QStringLiteral(",?1F0000"));
    EXPECT_TRUE(eventLoopTurns());

    // Failed sends are silent: no box, no line.
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
    EXPECT_THAT(capture.lines(), IsEmpty());
    EXPECT_EQ(controls().DDEMessageAcknowledge->text(), QStringLiteral("OK 1"));
}

struct LongMessage {
    const char* name;
    QString message;
    QString forwarded; // what Label2 shows afterwards; null when nothing is forwarded
};

void PrintTo(const LongMessage& c, std::ostream* out) {
    *out << c.name;
}

class LongMessageTest : public FaultWindowTest, public ::testing::WithParamInterface<LongMessage> {};

TEST_P(LongMessageTest, IsLoggedForwardedAndAcknowledgedAndTheNextMessageFollows) {
    const LongMessage& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(startWindow());
    MessageCapture capture;

    homeVision.writeLine(c.message);
    ASSERT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 1), ElementsAre("OK 1"));
    const QStringList log = logEntries(*controls().lstMessage);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0] == c.message) << "the log holds " << log[0].size() << " characters";
    EXPECT_TRUE(controls().Label2->text() == c.forwarded)
        << "Label2 holds " << controls().Label2->text().size() << " characters";
    EXPECT_EQ(controls().DDEMessage->text(), QStringLiteral("--------"));
    EXPECT_EQ(peers.probe().random(), c.forwarded.endsWith(QLatin1String("[random]")));

    // The conversation and the jukebox link carry on.
    homeVision.writeLine(QStringLiteral("after~cdj:search[track == \"Lanterns\"]"));
    EXPECT_THAT(homeVision.waitForPokes("DDEMessageAcknowledge", 2), ElementsAre("OK 1", "OK 2"));
    EXPECT_EQ(controls().lstMessage->count(), 2);
    EXPECT_TRUE(waitUntil([&] { return peers.probe().queue().size() == 1; }, WaitMs));
    EXPECT_TRUE(eventLoopTurns());
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
    // Not even the jukebox link had anything to say: a command too long for MPD is refused, not sent.
    EXPECT_THAT(capture.lines(), IsEmpty());
}

const QString Million(1'000'000, QLatin1Char('x'));

INSTANTIATE_TEST_SUITE_P(
    MillionCharacters, LongMessageTest,
    ::testing::Values(LongMessage{"NoTilde", Million, QString()},
                      LongMessage{"TildeAtTheEnd", Million + QStringLiteral("~cdj:playlist_mode[random]"),
                                  QStringLiteral(" cdj:playlist_mode[random]")},
                      LongMessage{
                          "MillionCharacterJukeboxCommand",
                          QStringLiteral("~cdj:search[artist == \"") + Million + QStringLiteral("\"]"),
                          QStringLiteral(" cdj:search[artist == \"") + Million + QStringLiteral("\"]")}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FaultWindowTest, ABurstOfTenThousandMessagesIsAcknowledgedOnceEachInStrictAlternation) {
    constexpr int Count = 10'000;
    constexpr int BurstWaitMs = 300'000;
    ASSERT_NO_FATAL_FAILURE(startWindow());
    MessageCapture capture;

    QStringList messages;
    for (int i = 0; i < Count; ++i)
        messages.append(QStringLiteral("Burst message %1").arg(i, 5, 10, QLatin1Char('0')));
    for (const QString& message : messages)
        homeVision.writeLine(message);
    // With its input at an end the stand-in leaves once the last message is acknowledged.
    homeVision.closeInput();
    ASSERT_TRUE(
        waitUntil([&] { return homeVision.pokes("DDEMessageAcknowledge").size() >= Count; }, BurstWaitMs));
    EXPECT_EQ(homeVision.waitForExit(), 0);

    // HomeVision's view: each message went out, was acknowledged once, and only then came the next.
    std::vector<std::string> expected;
    for (int i = 0; i < Count; ++i) {
        expected.push_back("sent " + messages[i].toStdString());
        expected.push_back(i % 2 == 0 ? "ack OK 1" : "ack OK 2");
    }
    std::vector<std::string> seen;
    for (const TranscriptEntry& entry : homeVision.transcript()) {
        if (entry.direction == "sent" && entry.item == "DDEMessage")
            seen.push_back("sent " + entry.value);
        else if (entry.direction == "received" && entry.call == "Poke" &&
                 entry.item == "DDEMessageAcknowledge")
            seen.push_back("ack " + entry.value);
    }
    EXPECT_TRUE(seen == expected)
        << "first difference at "
        << std::mismatch(seen.begin(), seen.end(), expected.begin(), expected.end()).first - seen.begin();
    EXPECT_THAT(homeVision.standardError().toStdString(),
                ::testing::Not(::testing::HasSubstr("no acknowledgement")));

    // The window's view: the last 51 messages, the newest selected.
    EXPECT_EQ(logEntries(*controls().lstMessage), messages.mid(Count - 51));
    EXPECT_EQ(controls().lstMessage->currentRow(), 50);
    EXPECT_EQ(controls().DDEMessage->text(), QStringLiteral("--------"));
    EXPECT_EQ(controls().DDEMessageAcknowledge->text(), QStringLiteral("OK 2"));
    EXPECT_THAT(capture.lines(), IsEmpty());
    EXPECT_THAT(messageBoxes.entries(), IsEmpty());
}

} // namespace
} // namespace velmor::test
