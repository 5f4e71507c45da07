// The texts cut from HomeVision's messages: the "~" rule, the keyword, the play-artist commands.
#include "fuzz/fuzz_support.h"
#include "hvlink/message_text.h"

namespace {

using velmor::fuzz::require;

const QLatin1String Keyword("KRZ:PlayThisArtist");

// From the first "~" on, with every "~" a space: as long as the message from that "~" on, opening
// with a space and holding no "~"; every other character is the message's own.
void checkJukeboxText(const QString& message) {
    const std::optional<QString> text = velmor::jukeboxTextOf(message);
    const qsizetype first = message.indexOf(QLatin1Char('~'));
    require(text.has_value() == (first >= 0), "a jukebox text exactly when there is a ~", message);
    if (!text)
        return;
    require(text->size() == message.size() - first, "the text runs from the first ~ to the end", message);
    require(text->startsWith(QLatin1Char(' ')), "the first ~ becomes a space", message);
    require(!text->contains(QLatin1Char('~')), "no ~ is left", message);
    for (qsizetype i = 0; i < text->size(); ++i) {
        const QChar original = message[first + i];
        require((*text)[i] == (original == QLatin1Char('~') ? QChar(QLatin1Char(' ')) : original),
                "every other character is kept", message);
    }
}

// Seven commands, the search naming the artist verbatim between quotation marks.
void checkPlayArtist(const QString& artist) {
    const QStringList commands = velmor::playArtistCommands(artist);
    require(commands.size() == 7, "seven play-artist commands", artist);
    const QString& search = commands[4];
    require(search == velmor::artistSearchCommand(artist), "the fifth command is the search", artist);
    require(search.size() == 24 + artist.size(), "the search is 24 characters plus the artist", artist);
    require(search.startsWith(QLatin1String("cdj:search[artist == \"")) &&
                search.endsWith(QLatin1String("\"]")) && search.mid(22, artist.size()) == artist,
            "the artist stands between quotation marks", artist);
    for (const QString& command : commands)
        require(command.startsWith(QLatin1String("cdj:")), "every command goes to the jukebox", artist);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString message = velmor::fuzz::textOf(velmor::fuzz::bytesOf(data, size));
    checkJukeboxText(message);
    require(velmor::startsWithPlayArtistKeyword(message) == (message.left(Keyword.size()) == Keyword),
            "the keyword counts only at the very start, case and all", message);
    checkPlayArtist(message);
    return 0;
}
