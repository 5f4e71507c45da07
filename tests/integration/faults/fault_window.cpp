#include "tests/integration/faults/fault_window.h"

#include "jukebox/now_playing_file.h"
#include "platform/dbus/dbus_dde_link.h"
#include "platform/posix/posix_regular_files.h"
#include "tests/support/fake_message_box.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>

namespace velmor::test {

FaultWindowTest::FaultWindowTest()
    : peers(faultPeers())
    , homeVision(QStringLiteral(VELMOR_HOMEVISION_PROGRAM), peers.bus())
    , nowPlayingPath(folder.filePath(QStringLiteral("cdnow.txt"))) {}

FaultWindowTest::~FaultWindowTest() = default;

void FaultWindowTest::SetUp() {
    ASSERT_NO_FATAL_FAILURE(peers.ensureRunning());
    peers.probe().reset();

    Form1Parts parts;
    parts.ddeLinks.forEach([this](HvLabel, std::unique_ptr<DdeLink>& link) {
        link = std::make_unique<DbusDdeLink>(peers.bus().connection());
    });
    auto jukebox = std::make_unique<MpdSlinkControl>();
    slinkx = jukebox.get();
    parts.slinkx = std::move(jukebox);
    auto telephony = std::make_unique<NcidTelephonyControl>(
        NcidServerAddress{QStringLiteral("127.0.0.1"), peers.ncidPort()});
    callSoft1 = telephony.get();
    parts.callSoft1 = std::move(telephony);
    parts.messageBox = std::make_unique<FakeMessageBox>(messageBoxes);
    parts.files = std::make_unique<PosixRegularFiles>();
    form = std::make_unique<Form1>(std::move(parts));
    form->controls().CDInfo->setText(nowPlayingPath);
}

void FaultWindowTest::TearDown() {
    form.reset();
    // A track left playing would report into the next case's window.
    if (peers.mpd().isRunning())
        peers.probe().reset();
}

void FaultWindowTest::startWindow(const QStringList& homeVisionOptions) {
    ASSERT_TRUE(homeVision.start(homeVisionOptions));
    QSignalSpy ncidReady(callSoft1, &NcidTelephonyControl::serverReady);
    ASSERT_EQ(form->start(), 0);
    ASSERT_THAT(messageBoxes.entries(), ::testing::IsEmpty());
    ASSERT_TRUE(waitForLabel1(QStringLiteral("cdj:using_player[mp3]")));
    ASSERT_TRUE(ncidReady.count() > 0 || ncidReady.wait(WaitMs));
    // The player report's two commands have reached HomeVision: the conversation is under way.
    ASSERT_EQ(homeVision.waitForPokes("DDECommand", 2),
              (std::vector<std::string>{",=0F00000A0000", ",O2B00"}));
}

bool FaultWindowTest::waitForLabel1(const QString& text) const {
    return waitUntil([&] { return controls().Label1->text() == text; });
}

bool FaultWindowTest::play(const Track& track) const {
    const MpdProbe probe = peers.probe();
    probe.reset();
    probe.queueTitles({QString::fromUtf8(track.title)});
    probe.command(QStringLiteral("play"));
    return waitForLabel1(QString::fromUtf8(track.report));
}

QByteArray FaultWindowTest::nowPlayingFile() const {
    QFile file(nowPlayingPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray FaultWindowTest::fileFor(const char* disc, const char* artist, const char* title,
                                    const char* time) {
    return nowPlayingFileContent({QString::fromUtf8(disc), QString::fromUtf8(artist),
                                  QString::fromUtf8(title), QString::fromUtf8(time)});
}

bool FaultWindowTest::eventLoopTurns() {
    QObject context; // a timer that never fired must not outlive this wait
    bool fired = false;
    QTimer::singleShot(0, &context, [&fired] { fired = true; });
    return waitUntil([&] { return fired; });
}

} // namespace velmor::test
