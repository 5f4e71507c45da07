#include "jukebox/jukebox_command.h"

#include <gtest/gtest.h>

#include <ostream>

namespace velmor {

void PrintTo(const AddressedCommand& command, std::ostream* os) {
    *os << '{' << command.port.toStdString() << " | " << command.command.toStdString() << '}';
}

void PrintTo(const JukeboxCommand& command, std::ostream* os) {
    *os << "{action " << static_cast<int>(command.action) << ", field " << static_cast<int>(command.field)
        << ", value \"" << command.value.toStdString() << "\"}";
}

namespace {

struct SplitCase {
    const char* text;
    std::optional<AddressedCommand> expected;
};

AddressedCommand addressed(const char* port, const char* command) {
    return {QString::fromUtf8(port), QString::fromUtf8(command)};
}

class SplitAddressedCommand : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitAddressedCommand, DropsTheBlanksAroundAndSplitsAtTheFirstColon) {
    EXPECT_EQ(splitAddressedCommand(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitAddressedCommand,
    testing::Values(SplitCase{"cdj:playlist_play", addressed("cdj", "playlist_play")},
                    SplitCase{" cdj:playlist_play", addressed("cdj", "playlist_play")},
                    SplitCase{"\t cdj:playlist_stop  \r\n", addressed("cdj", "playlist_stop")},
                    SplitCase{"cdj:search[track == \"a:b\"]", addressed("cdj", "search[track == \"a:b\"]")},
                    SplitCase{":playlist_play", addressed("", "playlist_play")},
                    SplitCase{"cdj:", addressed("cdj", "")}, SplitCase{"playlist_play", std::nullopt},
                    SplitCase{"   ", std::nullopt}));

struct ParseCase {
    const char* command;
    std::optional<JukeboxCommand> expected;
};

JukeboxCommand plain(JukeboxAction action) {
    return {action, SearchField::Artist, {}};
}

JukeboxCommand search(SearchField field, const char* value) {
    return {JukeboxAction::Search, field, QString::fromUtf8(value)};
}

class ParseJukeboxCommand : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseJukeboxCommand, KnowsTheCommandTable) {
    EXPECT_EQ(parseJukeboxCommand(QString::fromUtf8(GetParam().command)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Plain, ParseJukeboxCommand,
    testing::Values(ParseCase{"playlist_play", plain(JukeboxAction::Play)},
                    ParseCase{"playlist_stop", plain(JukeboxAction::Stop)},
                    ParseCase{"playlist_pause", plain(JukeboxAction::Pause)},
                    ParseCase{"playlist_next", plain(JukeboxAction::Next)},
                    ParseCase{"playlist_previous", plain(JukeboxAction::Previous)},
                    ParseCase{"playlist_clear", plain(JukeboxAction::Clear)},
                    ParseCase{"playlist_mode[manual]", plain(JukeboxAction::ManualOrder)},
                    ParseCase{"playlist_mode[random]", plain(JukeboxAction::RandomOrder)},
                    ParseCase{"search_mode[track]", plain(JukeboxAction::SearchTracks)},
                    ParseCase{"search_mode[disc]", plain(JukeboxAction::SearchDiscs)}));

INSTANTIATE_TEST_SUITE_P(
    Search, ParseJukeboxCommand,
    testing::Values(
        ParseCase{"search[artist == \"The Quiet Pines\"]", search(SearchField::Artist, "The Quiet Pines")},
        ParseCase{"search[disc == \"Harbour Lights\"]", search(SearchField::Disc, "Harbour Lights")},
        ParseCase{"search[track == \"Morning Tide <Live>\"]",
                  search(SearchField::Track, "Morning Tide <Live>")},
        ParseCase{"search[genre == \"Folk\"]", search(SearchField::Genre, "Folk")},
        ParseCase{"search[artist == \"\"]", search(SearchField::Artist, "")},
        ParseCase{"search[artist==\"Ann Other\"]", search(SearchField::Artist, "Ann Other")},
        // The value runs to the last quotation mark: quotation marks and brackets inside it stay.
        ParseCase{"search[track == \"The \"Long\" Way (Home)\"]",
                  search(SearchField::Track, "The \"Long\" Way (Home)")},
        ParseCase{"search[track == \"a] [b\"]", search(SearchField::Track, "a] [b")},
        ParseCase{"search[artist == \"Sigrún Ólafsdóttir\"]",
                  search(SearchField::Artist, "Sigrún Ólafsdóttir")}));

INSTANTIATE_TEST_SUITE_P(
    Unknown, ParseJukeboxCommand,
    testing::Values(ParseCase{"", std::nullopt}, ParseCase{"playlist_shuffle", std::nullopt},
                    ParseCase{"Playlist_play", std::nullopt}, ParseCase{"playlist_play now", std::nullopt},
                    ParseCase{"playlist_mode[Random]", std::nullopt},
                    ParseCase{"search_mode[album]", std::nullopt},
                    ParseCase{"search[album == \"Harbour Lights\"]", std::nullopt},
                    ParseCase{"search[Artist == \"Ann Other\"]", std::nullopt},
                    ParseCase{"search[artist = \"Ann Other\"]", std::nullopt},
                    ParseCase{"search[artist == Ann Other]", std::nullopt},
                    ParseCase{"search[artist == \"Ann Other\"", std::nullopt},
                    ParseCase{"search[artist == \"Ann Other\"] ", std::nullopt},
                    // One command is one MPD request line; a line break would smuggle in a second.
                    ParseCase{"search[artist == \"Ann\nclear\"]", std::nullopt},
                    ParseCase{"search[artist == \"Ann\rOther\"]", std::nullopt}));

TEST(ParseJukeboxCommandNul, RefusesAValueHoldingANul) {
    const QString command = QStringLiteral("search[artist == \"Ann") + QChar(u'\0') + QStringLiteral("\"]");
    EXPECT_EQ(parseJukeboxCommand(command), std::nullopt);
}

TEST(TransmitPortSpecification, IsTheTypeDevtxKey) {
    EXPECT_TRUE(isTransmitPortSettings(QStringLiteral("type=devtx")));
    EXPECT_TRUE(isTransmitPortSettings(QStringLiteral("com=1, type=devtx")));
    EXPECT_FALSE(isTransmitPortSettings(QStringLiteral("type=devrx")));
    EXPECT_FALSE(isTransmitPortSettings(QStringLiteral("type=devtxx")));
    EXPECT_FALSE(isTransmitPortSettings(QString()));
}

} // namespace
} // namespace velmor
