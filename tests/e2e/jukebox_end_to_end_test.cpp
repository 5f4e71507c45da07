#include "tests/e2e/end_to_end_test.h"
#include "tools/music_library/music_catalogue.h"

#include <algorithm>
#include <iterator>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

// The library's tracks by one artist, as the probe lists them.
std::vector<std::string> tracksBy(const QString& artist) {
    std::vector<std::string> tracks;
    for (const tools::CatalogueTrack& track : tools::musicCatalogue()) {
        if (track.artist == artist)
            tracks.push_back((track.artist + QLatin1Char('|') + track.album + QLatin1Char('|') + track.title)
                                 .toStdString());
    }
    return tracks;
}

std::vector<std::string> messagesOf(const std::vector<std::string>& events) {
    std::vector<std::string> messages;
    std::copy_if(events.begin(), events.end(), std::back_inserter(messages),
                 [](const std::string& event) { return event.starts_with("message "); });
    return messages;
}

// What Velmor sent: acknowledgements and commands.
std::vector<std::string> repliesOf(const std::vector<std::string>& events) {
    std::vector<std::string> replies;
    std::copy_if(events.begin(), events.end(), std::back_inserter(replies),
                 [](const std::string& event) { return !event.starts_with("message "); });
    return replies;
}

bool acknowledged(const std::vector<std::string>& events, const std::string& message) {
    const auto delivered = std::find(events.begin(), events.end(), "message " + message);
    return delivered != events.end() && std::find(delivered, events.end(), "acknowledged") != events.end();
}

// The jukebox's road to HomeVision and back, over each transport.
class JukeboxEndToEndTest : public EndToEndTest, public ::testing::WithParamInterface<Transport> {
protected:
    [[nodiscard]] Transport transport() const override { return GetParam(); }
};

TEST_P(JukeboxEndToEndTest, AStartedTrackIsWrittenOutAndItsCommandsArePacedByHomeVisionsMessages) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    probe().queueTitles({QStringLiteral("The \"Long\" Way (Home)")});

    homeVision->writeLine(QStringLiteral("Jukebox~cdj:playlist_play"));
    ASSERT_TRUE(waitForCommand(",=120000030000"));
    // The file is written before the first command goes out.
    EXPECT_EQ(velmor->nowPlayingFile(),
              nowPlayingLines("The 'Long' Way <Home>", "00:03", "Harbour Lights", "The Quiet Pines"));

    for (const char* message : {"Hallway motion detected", "Porch light on", "Alarm armed"})
        homeVision->writeLine(QString::fromUtf8(message));
    // Nothing else is parked, so once the last command is in the conversation is complete.
    ASSERT_TRUE(waitForCommand(",O1900"));
    // HomeVision may send its next message before the command released by the last one reaches it;
    // what Velmor sends, acknowledgements and commands, comes in Velmor's order.
    EXPECT_THAT(messagesOf(conversationNow()),
                ElementsAre("message Jukebox~cdj:playlist_play", "message Hallway motion detected",
                            "message Porch light on", "message Alarm armed"));
    std::vector<std::string> expected = JukeboxConnectedCommands;
    expected.insert(expected.end(),
                    {"acknowledged", "command ,=120000030000", "acknowledged", "command ,?1F0000",
                     "acknowledged", "command ,?200003", "acknowledged", "command ,O1900"});
    EXPECT_THAT(repliesOf(conversationNow()), ElementsAreArray(expected));
}

TEST_P(JukeboxEndToEndTest, PlayThisArtistPlaysExactlyTheTracksOfTheArtistNowPlayingInRandomOrder) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    // Two of the artist's tracks first, so that the artist is still playing when the keyword comes;
    // another artist's after them, which must go.
    probe().queueTitles({QStringLiteral("Ísbjörn"), QStringLiteral("Hafið"), QStringLiteral("Overtime"),
                         QStringLiteral("Night Bus")});
    homeVision->writeLine(QStringLiteral("Jukebox~cdj:playlist_play"));
    ASSERT_TRUE(waitForCommand(",=120000030000"));

    homeVision->writeLine(QStringLiteral("KRZ:PlayThisArtist"));
    ASSERT_TRUE(waitFor([&] { return acknowledged(conversationNow(), "KRZ:PlayThisArtist"); }));
    EXPECT_THAT(probe().queue(), UnorderedElementsAreArray(tracksBy(QStringLiteral("Sigrún Ólafsdóttir"))));
    EXPECT_TRUE(probe().random());
    EXPECT_EQ(probe().state(), MpdProbe::State::Playing);
}

TEST_P(JukeboxEndToEndTest, PlaylistStopStopsTheJukebox) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());
    // Longer than any test: only the command can stop it.
    probe().queueTitles({QStringLiteral("Lanterns"), QStringLiteral("Salt Road"), QStringLiteral("Track One"),
                         QStringLiteral("Paper Boats"), QStringLiteral("Overtime"),
                         QStringLiteral("Night Bus"), QStringLiteral("Vetrarnótt"), QStringLiteral("Hafið")});
    probe().command(QStringLiteral("play"));
    ASSERT_TRUE(waitForCommand(",=120000030000"));

    homeVision->writeLine(QStringLiteral("Jukebox~cdj:playlist_stop"));
    ASSERT_TRUE(waitFor([&] { return acknowledged(conversationNow(), "Jukebox~cdj:playlist_stop"); }));
    EXPECT_EQ(probe().state(), MpdProbe::State::Stopped);
}

TEST_P(JukeboxEndToEndTest, ACallIsReportedToHomeVisionOnlyWhenItCarriesANumber) {
    ASSERT_NO_FATAL_FAILURE(startHomeVision());
    ASSERT_NO_FATAL_FAILURE(startVelmor());

    peers().ncid().announce(QStringLiteral("-"));
    peers().ncid().announce(QStringLiteral("5551234 ANN CALLER"));
    ASSERT_TRUE(waitForCommand(",Y1E02"));
    std::vector<std::string> expected = JukeboxConnectedCommands;
    expected.emplace_back("command ,Y1E02");
    EXPECT_THAT(conversationNow(), ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(, JukeboxEndToEndTest, EachTransport, nameOfTransport);

} // namespace
} // namespace velmor::test
