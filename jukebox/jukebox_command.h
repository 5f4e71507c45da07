#pragma once

#include <QString>

#include <optional>

namespace velmor {

// A jukebox command as it arrives: "port:command", possibly with blanks around it.
struct AddressedCommand {
    QString port;
    QString command;

    friend bool operator==(const AddressedCommand&, const AddressedCommand&) = default;
};

enum class JukeboxAction {
    Play,
    Stop,
    Pause,
    Next,
    Previous,
    Clear,
    ManualOrder,
    RandomOrder,
    SearchTracks,
    SearchDiscs,
    Search,
};

// The tag a search compares: artist, album ("disc"), title ("track") or genre.
enum class SearchField { Artist, Disc, Track, Genre };

struct JukeboxCommand {
    JukeboxAction action = JukeboxAction::Play;
    // Only a search has these.
    SearchField field = SearchField::Artist;
    QString value;

    friend bool operator==(const JukeboxCommand&, const JukeboxCommand&) = default;
};

// Drops the blanks around the text and splits it at its first colon; nothing without a colon.
[[nodiscard]] std::optional<AddressedCommand> splitAddressedCommand(const QString& text);

// Reads the command part; nothing for a command the jukebox does not know, including any text that
// holds a line break or a NUL, which could never reach MPD as one request.
[[nodiscard]] std::optional<JukeboxCommand> parseJukeboxCommand(const QString& command);

// Whether a port's settings ("type=devtx", keys separated by blanks or commas) name a transmit port.
[[nodiscard]] bool isTransmitPortSettings(const QString& portSettings);

} // namespace velmor
