#include "jukebox/playback_tracker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmor {
namespace {

using testing::ElementsAreArray;

// One look at the player: 'P' playing, 'A' paused, 'S' stopped, with the song id (0 = no song);
// an unreadable song's tags could not be read.
struct Look {
    char state;
    unsigned songId;
    bool unreadable = false;
};

struct TrackerCase {
    const char* name;
    std::vector<Look> looks;
    std::vector<std::string> expected;
};

PlayerSnapshot snapshotOf(const Look& look) {
    PlayerSnapshot snapshot;
    snapshot.state = look.state == 'P'   ? PlayState::Playing
                     : look.state == 'A' ? PlayState::Paused
                                         : PlayState::Stopped;
    if (look.songId != 0) {
        snapshot.songId = look.songId;
        snapshot.track.title = QStringLiteral("T%1").arg(look.songId);
    }
    if (look.unreadable)
        snapshot.trackFailure = QStringLiteral("unreadable");
    return snapshot;
}

std::string unreadable() {
    return errorReport(QStringLiteral("unreadable")).toStdString();
}

std::string playing(unsigned songId) {
    return playingReport({{}, {}, QStringLiteral("T%1").arg(songId), 0}).toStdString();
}

class PlaybackTrackerTable : public testing::TestWithParam<TrackerCase> {};

TEST_P(PlaybackTrackerTable, ReportsEachChangeOnce) {
    PlaybackTracker tracker;
    tracker.restart();
    std::vector<std::string> reports;
    for (const Look& look : GetParam().looks) {
        for (const QString& report : tracker.reportsFor(snapshotOf(look)))
            reports.push_back(report.toStdString());
    }
    EXPECT_THAT(reports, ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlaybackTrackerTable,
    testing::Values(
        TrackerCase{"FoundPlayingOnConnection", {{'P', 4}}, {playing(4)}},
        TrackerCase{"FoundStoppedOrPausedOnConnectionSaysNothing", {{'S', 0}, {'S', 0}}, {}},
        TrackerCase{"FoundPausedSaysNothingUntilPlaying", {{'A', 4}, {'P', 4}}, {playing(4)}},
        TrackerCase{"OneChangeAnnouncedTwice",
                    {{'S', 0}, {'P', 1}, {'P', 1}, {'P', 2}, {'P', 2}},
                    {playing(1), playing(2)}},
        TrackerCase{
            "PauseAndResumeTheSameTrack", {{'P', 1}, {'A', 1}, {'A', 1}, {'P', 1}}, {playing(1), "paused"}},
        TrackerCase{
            "ResumedOnAnotherTrack", {{'P', 1}, {'A', 1}, {'P', 2}}, {playing(1), "paused", playing(2)}},
        TrackerCase{"StopThenTheSameEntryAgain",
                    {{'P', 1}, {'S', 1}, {'S', 1}, {'P', 1}},
                    {playing(1), "stopped", playing(1)}},
        TrackerCase{"StopWhilePaused", {{'P', 1}, {'A', 1}, {'S', 0}}, {playing(1), "paused", "stopped"}},
        TrackerCase{"PlayingWithoutASongSaysNothing", {{'S', 0}, {'P', 0}}, {}},
        TrackerCase{"AnUnreadableTrackIsOneErrorAndTheNextPlays",
                    {{'P', 1}, {'P', 2, true}, {'P', 2, true}, {'P', 3}},
                    {playing(1), unreadable(), playing(3)}}),
    [](const testing::TestParamInfo<TrackerCase>& row) { return std::string(row.param.name); });

TEST(PlaybackTracker, RestartReportsTheTrackStillPlaying) {
    PlaybackTracker tracker;
    tracker.restart();
    EXPECT_EQ(tracker.reportsFor(snapshotOf({'P', 3})).size(), 1);
    EXPECT_TRUE(tracker.reportsFor(snapshotOf({'P', 3})).isEmpty());
    tracker.restart();
    EXPECT_EQ(tracker.reportsFor(snapshotOf({'P', 3})), QStringList{QString::fromStdString(playing(3))});
}

} // namespace
} // namespace velmor
