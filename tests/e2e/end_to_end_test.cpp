#include "tests/e2e/end_to_end_test.h"

#include "tools/music_library/music_catalogue.h"

#include <QTest>

#include <algorithm>
#include <iostream>

namespace velmor::test {

std::vector<std::string> conversation(const Transcript& transcript) {
    std::vector<std::string> events;
    for (const TranscriptEntry& entry : transcript) {
        if (entry.direction == "sent" && entry.item == "DDEMessage")
            events.push_back("message " + entry.value);
        else if (entry.call == "Poke" && entry.item == "DDEMessageAcknowledge")
            events.emplace_back("acknowledged");
        else if (entry.call == "Poke" && entry.item == "DDECommand")
            events.push_back("command " + entry.value);
    }
    return events;
}

std::vector<std::string> tracksBy(const QString& artist) {
    std::vector<std::string> tracks;
    for (const tools::CatalogueTrack& track : tools::musicCatalogue()) {
        if (track.artist == artist)
            tracks.push_back((track.artist + QLatin1Char('|') + track.album + QLatin1Char('|') + track.title)
                                 .toStdString());
    }
    return tracks;
}

QByteArray nowPlayingLines(const char* trackTitle, const char* trackTime, const char* disc,
                           const char* artist) {
    return QByteArray(" ' Current Track Info '\r\n\r\n") + trackTitle + "\r\n\r\nTrack Time: " + trackTime +
           "\r\n------------------------\r\n       Disc Info\r\nD:" + disc + "\r\nA:" + artist + "\r\n\r\n";
}

void EndToEndTest::SetUp() {
    if (transport() == Transport::Relay) {
        const QString missing = peers().windows().missing();
        if (!missing.isEmpty() && peers().windows().isRequired())
            FAIL() << missing.toStdString();
        if (!missing.isEmpty())
            GTEST_SKIP() << "no relay: " << missing.toStdString();
    }
    probe().reset();
}

void EndToEndTest::TearDown() {
    if (velmor && velmor->isRunning()) {
        velmor->terminate();
        EXPECT_EQ(velmor->waitForExit(), 0) << "Velmor did not close cleanly";
    }
    if (HasFailure()) {
        if (velmor)
            std::cerr << "Velmor's standard error:\n" << velmor->standardError().toStdString() << '\n';
        if (homeVision) {
            std::cerr << "HomeVision's side of the conversation:\n";
            for (const std::string& event : conversationNow())
                std::cerr << "    " << event << '\n';
        }
        if (relay)
            std::cerr << "The relay's log:\n" << relay->log().toStdString();
    }
    velmor.reset();
    homeVision.reset();
    if (relay) {
        relay.reset();
        // Its will reaches the broker before the next test's HomeVision says "online".
        peers().windows().endSession();
    }
    probe().reset();
}

void EndToEndTest::startHomeVision(const QStringList& options) {
    const QString program = QStringLiteral(VELMOR_HOMEVISION_PROGRAM);
    switch (transport()) {
    case Transport::Dbus:
        homeVision = std::make_unique<HomeVisionProcess>(program, peers().bus());
        break;
    case Transport::Mqtt:
        homeVision = std::make_unique<HomeVisionProcess>(program, peers().broker().url());
        break;
    case Transport::Relay:
        homeVision = std::make_unique<HomeVisionProcess>(peers().windows());
        break;
    }
    ASSERT_TRUE(homeVision->start(options)) << homeVision->standardError().toStdString();
    if (transport() == Transport::Relay) {
        ASSERT_NO_FATAL_FAILURE(startRelay());
    }
}

void EndToEndTest::startRelay() {
    if (!relay) {
        relay = std::make_unique<RelayProcess>(peers().windows(), peers().broker().url());
        ASSERT_TRUE(relay->start());
    }
    ASSERT_TRUE(relay->waitForLog(QStringLiteral("connected to the broker"))) << relay->log().toStdString();
    if (homeVision) {
        ASSERT_TRUE(relay->waitForLog(QStringLiteral("HomeVision answered"))) << relay->log().toStdString();
    }
}

bool EndToEndTest::waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor([&] { return condition() || !velmor->isRunning(); },
                           VelmorProcess::WaitTimeoutMs) &&
           condition();
}

bool EndToEndTest::waitForConversation(
    const std::function<bool(const std::vector<std::string>&)>& condition) {
    return waitFor([&] { return condition(conversationNow()); });
}

bool EndToEndTest::waitForCommand(const std::string& command) {
    return waitForConversation([&](const std::vector<std::string>& events) {
        return std::find(events.begin(), events.end(), "command " + command) != events.end();
    });
}

std::optional<QByteArray> EndToEndTest::waitForNowPlayingFile(const QByteArray& content) {
    // The comparison that follows says what differs.
    static_cast<void>(waitFor([&] { return velmor->nowPlayingFile() == content; }));
    return velmor->nowPlayingFile();
}

void EndToEndTest::startVelmor(Screen screen, const std::function<void()>& whileStarting) {
    if (transport() == Transport::Relay) {
        ASSERT_NO_FATAL_FAILURE(startRelay());
    }
    const PeerConnections mpdBefore = peers().mpdConnections();
    const PeerConnections ncidBefore = peers().ncidConnections();
    velmor = std::make_unique<VelmorProcess>(peers().velmorEnvironment(screen, transport()));
    ASSERT_TRUE(velmor->start());
    if (whileStarting) {
        ASSERT_NO_FATAL_FAILURE(whileStarting());
    }

    ASSERT_TRUE(waitFor([&] {
        velmorMpdConnections = peers().mpdConnections().openedSince(mpdBefore);
        velmorNcidConnections = peers().ncidConnections().openedSince(ncidBefore);
        return !velmorMpdConnections.empty() && !velmorNcidConnections.empty();
    })) << "Velmor did not connect to MPD and the NCID server";
    if (homeVision) {
        ASSERT_TRUE(waitFor([&] {
            const Transcript& transcript = homeVision->transcript();
            // MQTT does not tell a publisher who subscribes; there the commands alone show the links. The
            // relay advises as the session bus client does.
            const bool listens =
                transport() == Transport::Mqtt ||
                std::find(transcript.begin(), transcript.end(),
                          TranscriptEntry{"received", "Advise", "DDEMessage", ""}) != transcript.end();
            return listens && conversation(transcript) == JukeboxConnectedCommands;
        })) << "Velmor did not link to HomeVision";
    }
}

} // namespace velmor::test
