#include "hvlink/message_text.h"
#include "tests/integration/mpd/mpd_jukebox_fixture.h"

#include <gmock/gmock.h>

namespace velmor::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::Lt;
using testing::UnorderedElementsAreArray;
using State = MpdProbe::State;

const QString QuietPines = QStringLiteral("The Quiet Pines");

QString searchArtist(const QString& artist) {
    return QStringLiteral("cdj:search[artist == \"%1\"]").arg(artist);
}

TEST_F(MpdJukebox, PlaylistCommandsChangeTheQueueTheOrderAndThePlayer) {
    ASSERT_EQ(send(searchArtist(QuietPines)), 0);
    EXPECT_THAT(probe().queue(), ElementsAreArray(catalogueEntries(CatalogueTag::Artist, QuietPines)));

    EXPECT_EQ(send(QStringLiteral("cdj:playlist_mode[random]")), 0);
    EXPECT_TRUE(probe().random());
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_mode[manual]")), 0);
    EXPECT_FALSE(probe().random());

    EXPECT_EQ(send(QStringLiteral("cdj:playlist_play")), 0);
    EXPECT_EQ(probe().state(), State::Playing);
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_pause")), 0);
    EXPECT_EQ(probe().state(), State::Paused);
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_pause")), 0);
    EXPECT_EQ(probe().state(), State::Playing);
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_pause")), 0);
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_play")), 0) << "play resumes a paused player";
    EXPECT_EQ(probe().state(), State::Playing);
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_stop")), 0);
    EXPECT_EQ(probe().state(), State::Stopped);

    EXPECT_EQ(send(QStringLiteral("cdj:playlist_clear")), 0);
    EXPECT_THAT(probe().queue(), IsEmpty());
    EXPECT_THAT(reportsStartingWith("cdj:error"), IsEmpty());
}

TEST_F(MpdJukebox, NextAndPreviousMoveThroughTheQueue) {
    // Repeating the one track keeps the player where the commands put it, however slow the test.
    probe().command(QStringLiteral("repeat 1"));
    probe().command(QStringLiteral("single 1"));
    probe().queueTitles(
        {QStringLiteral("Track One"), QStringLiteral("Second Thoughts"), QStringLiteral("Paper Boats")});
    probe().command(QStringLiteral("play"));
    ASSERT_EQ(probe().currentTitle(), "Track One");

    EXPECT_EQ(send(QStringLiteral("cdj:playlist_next")), 0);
    EXPECT_EQ(probe().currentTitle(), "Second Thoughts");
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_next")), 0);
    EXPECT_EQ(probe().currentTitle(), "Paper Boats");
    EXPECT_EQ(send(QStringLiteral("cdj:playlist_previous")), 0);
    EXPECT_EQ(probe().currentTitle(), "Second Thoughts");
}

struct SearchCase {
    const char* mode;
    const char* command;
    CatalogueTag tag;  // the catalogue entries the command must add ...
    const char* value; // ... are those whose tag has this value
};

TEST_F(MpdJukebox, SearchAddsExactlyTheMatchingTracksOrDiscs) {
    const SearchCase table[] = {
        {"cdj:search_mode[track]", "cdj:search[artist == \"The Quiet Pines\"]", CatalogueTag::Artist,
         "The Quiet Pines"},
        {"cdj:search_mode[disc]", "cdj:search[artist == \"The Quiet Pines\"]", CatalogueTag::Artist,
         "The Quiet Pines"},
        // Her track with no album comes along on its own in disc mode.
        {"cdj:search_mode[track]", "cdj:search[artist == \"Ann Other\"]", CatalogueTag::Artist, "Ann Other"},
        {"cdj:search_mode[disc]", "cdj:search[artist == \"Ann Other\"]", CatalogueTag::Artist, "Ann Other"},
        {"cdj:search_mode[disc]", "cdj:search[artist == \"Sigrún Ólafsdóttir\"]", CatalogueTag::Artist,
         "Sigrún Ólafsdóttir"},
        {"cdj:search_mode[track]", "cdj:search[artist == \"the quiet pines\"]", CatalogueTag::Artist,
         "the quiet pines"},
        {"cdj:search_mode[disc]", "cdj:search[artist == \"the quiet pines\"]", CatalogueTag::Artist,
         "the quiet pines"},
        {"cdj:search_mode[track]", "cdj:search[artist == \"Quiet Pines\"]", CatalogueTag::Artist,
         "Quiet Pines"},
        {"cdj:search_mode[track]", "cdj:search[track == \"Lanterns\"]", CatalogueTag::Title, "Lanterns"},
        {"cdj:search_mode[disc]", "cdj:search[track == \"Lanterns\"]", CatalogueTag::Album, "Harbour Lights"},
        {"cdj:search_mode[track]", "cdj:search[track == \"The \"Long\" Way (Home)\"]", CatalogueTag::Title,
         "The \"Long\" Way (Home)"},
        {"cdj:search_mode[track]", "cdj:search[disc == \"Small Hours\"]", CatalogueTag::Album, "Small Hours"},
        {"cdj:search_mode[track]", "cdj:search[genre == \"Jazz\"]", CatalogueTag::Genre, "Jazz"},
    };
    for (const SearchCase& row : table) {
        SCOPED_TRACE(std::string(row.mode) + " " + row.command);
        probe().reset();
        ASSERT_EQ(send(QString::fromUtf8(row.mode)), 0);
        EXPECT_EQ(send(QString::fromUtf8(row.command)), 0);
        EXPECT_THAT(probe().queue(),
                    UnorderedElementsAreArray(catalogueEntries(row.tag, QString::fromUtf8(row.value))));
    }
}

TEST_F(MpdJukebox, SearchesAddToWhatIsQueued) {
    ASSERT_EQ(send(searchArtist(QStringLiteral("Brass Foundry"))), 0);
    ASSERT_EQ(send(QStringLiteral("cdj:search[track == \"Lanterns\"]")), 0);
    std::vector<std::string> expected =
        catalogueEntries(CatalogueTag::Artist, QStringLiteral("Brass Foundry"));
    expected.push_back("The Quiet Pines|Harbour Lights|Lanterns");
    EXPECT_THAT(probe().queue(), ElementsAreArray(expected));
}

TEST_F(MpdJukebox, PlayArtistSequenceLeavesARandomQueueOfThatArtistPlaying) {
    probe().queueTitles({QStringLiteral("Overtime"), QStringLiteral("Night Bus")});
    probe().command(QStringLiteral("play"));
    for (const QString& command : playArtistCommands(QStringLiteral("The Quiet Pines")))
        EXPECT_EQ(send(command), 0) << command.toStdString();

    EXPECT_THAT(probe().queue(),
                UnorderedElementsAreArray(catalogueEntries(CatalogueTag::Artist, QuietPines)));
    EXPECT_TRUE(probe().random());
    EXPECT_EQ(probe().state(), State::Playing);
    EXPECT_TRUE(waitForReportStartingWith("cdj:playing[\"Harbour Lights\",\"The Quiet Pines\","));
}

TEST_F(MpdJukebox, BlanksAroundTheCommandAreIgnored) {
    ASSERT_EQ(send(QStringLiteral(" cdj:search[artist == \"Brass Foundry\"]  ")), 0);
    EXPECT_EQ(send(QStringLiteral(" cdj:playlist_play")), 0);
    EXPECT_EQ(probe().state(), State::Playing);
}

struct RefusedCase {
    const char* command;
    qint32 result;
    const char* report;
};

TEST_F(MpdJukebox, CommandsNotCarriedOutAnswerNegativeAndReportAnError) {
    const RefusedCase table[] = {
        {"xyz:playlist_play", MpdSlinkControl::UnknownPort, "cdj:error[unknown port: xyz]"},
        {"cdjr:playlist_play", MpdSlinkControl::UnknownPort, "cdj:error[unknown port: cdjr]"},
        {"CDJ:playlist_play", MpdSlinkControl::UnknownPort, "cdj:error[unknown port: CDJ]"},
        {"playlist_play", MpdSlinkControl::UnknownPort, "cdj:error[unknown port: playlist_play]"},
        {"cdj:playlist_shuffle", MpdSlinkControl::UnknownCommand,
         "cdj:error[unknown command: playlist_shuffle]"},
        {"cdj:search[album == \"Late Shift\"]", MpdSlinkControl::UnknownCommand,
         "cdj:error[unknown command: search[album == \"Late Shift\"]]"},
        {"cdj:search[artist == \"x\nclear\"]", MpdSlinkControl::UnknownCommand,
         "cdj:error[unknown command: search[artist == \"x\nclear\"]]"},
        // MPD itself turns this one down and says why.
        {"cdj:playlist_next", MpdSlinkControl::Refused, "cdj:error[Not playing]"},
    };
    probe().queueTitles({QStringLiteral("Overtime")});
    for (const RefusedCase& row : table) {
        SCOPED_TRACE(row.command);
        clearReports();
        EXPECT_EQ(send(QString::fromUtf8(row.command)), row.result);
        EXPECT_TRUE(waitForReport(row.report));
        EXPECT_THAT(reports(), ElementsAre(row.report));
        EXPECT_THAT(probe().queue(), ElementsAre("Brass Foundry|Late Shift|Overtime"));
        EXPECT_EQ(probe().state(), State::Stopped);
    }
}

TEST_F(MpdJukebox, AControlThatWasNeverStartedAnswersNegative) {
    MpdSlinkControl idle;
    idle.SlinkDefinePort(QStringLiteral("cdj"), QStringLiteral("type=devtx"), 1, 1, 0);
    EXPECT_EQ(idle.SlinkSend(QStringLiteral("cdj:playlist_play")), MpdSlinkControl::NotConnected);
    EXPECT_EQ(idle.SlinkSend(QStringLiteral("cdj:search_mode[disc]")), 0) << "a search mode needs no MPD";
    EXPECT_THAT(idle.SlinkSend(QStringLiteral("nowhere:playlist_play")), Lt(0));
}

} // namespace
} // namespace velmor::test
