#include "tests/support/play_artist_sends.h"
#include "tests/widgets/form1_fixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

namespace velmor::test {
namespace {

using ::testing::ElementsAre;

// A track report parks its commands; HomeVision's next messages carry them out one at a time.
TEST_F(Form1Test, TrackReportIsPacedOutByTheNextMessages) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cdnow.txt"));
    control<QLineEdit>("CDInfo")->setText(path);
    ASSERT_EQ(form->start(), 0);
    log.clear();

    slinkx->report(QStringLiteral("cdjr"), QStringLiteral("playing[\"D\",\"Ann (Other)\",\"T\",\"12:45\"]"));
    for (const char* message : {"one", "two~cdj:playlist_next", "three", "KRZ:PlayThisArtist"})
        links.DDEMessage->deliver(QString::fromUtf8(message));

    std::vector<std::string> expected{"DDECommand poke ,=1200002D0C00",  "DDEMessageAcknowledge poke OK 1",
                                      "DDECommand poke ,?1F000C",        "SlinkSend  cdj:playlist_next",
                                      "DDEMessageAcknowledge poke OK 2", "DDECommand poke ,?20002D",
                                      "DDEMessageAcknowledge poke OK 1", "DDECommand poke ,O1900"};
    std::ranges::copy(playArtistSends("Ann <Other>"), std::back_inserter(expected));
    expected.emplace_back("DDEMessageAcknowledge poke OK 2");
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(control<QListWidget>("lstMessage")->count(), 4);
    EXPECT_EQ(control<QListWidget>("lstMessage")->currentRow(), 3);
    EXPECT_EQ(control<QLabel>("DDEMessage")->text(), QStringLiteral("--------"));
    EXPECT_EQ(control<QLabel>("Label2")->text(), QStringLiteral(" cdj:playlist_next"));
    EXPECT_EQ(control<QLabel>("Label5")->text(), QStringLiteral(",O1900"));
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(Form1Test, ReportThatCannotBeHandledLeavesTheWindowRunning) {
    ASSERT_EQ(form->start(), 0);
    control<QLineEdit>("CDInfo")->setText(QString());
    log.clear();

    slinkx->report(QStringLiteral("cdjr"), QStringLiteral("playing[\"D\",\"A\",\"T\",\"12:45\"]"));
    slinkx->report(QStringLiteral("cdjr"), QStringLiteral("using_player[cd]"));

    EXPECT_EQ(form->currentArtist(), QStringLiteral("A"));
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("cdjr:using_player[cd]"));
    EXPECT_THAT(log.entries(), ElementsAre("DDECommand poke ,O2B00"));
    EXPECT_THAT(form->pendingCommands(), ::testing::Each(QString()));
}

} // namespace
} // namespace velmor::test
