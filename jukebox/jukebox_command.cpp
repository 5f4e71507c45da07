#include "jukebox/jukebox_command.h"

#include <QRegularExpression>

#include <array>
#include <utility>

namespace velmor {

namespace {

constexpr std::array<std::pair<QLatin1StringView, JukeboxAction>, 10> PlainCommands{{
    {QLatin1StringView("playlist_play"), JukeboxAction::Play},
    {QLatin1StringView("playlist_stop"), JukeboxAction::Stop},
    {QLatin1StringView("playlist_pause"), JukeboxAction::Pause},
    {QLatin1StringView("playlist_next"), JukeboxAction::Next},
    {QLatin1StringView("playlist_previous"), JukeboxAction::Previous},
    {QLatin1StringView("playlist_clear"), JukeboxAction::Clear},
    {QLatin1StringView("playlist_mode[manual]"), JukeboxAction::ManualOrder},
    {QLatin1StringView("playlist_mode[random]"), JukeboxAction::RandomOrder},
    {QLatin1StringView("search_mode[track]"), JukeboxAction::SearchTracks},
    {QLatin1StringView("search_mode[disc]"), JukeboxAction::SearchDiscs},
}};

constexpr std::array<std::pair<QLatin1StringView, SearchField>, 4> SearchFields{{
    {QLatin1StringView("artist"), SearchField::Artist},
    {QLatin1StringView("disc"), SearchField::Disc},
    {QLatin1StringView("track"), SearchField::Track},
    {QLatin1StringView("genre"), SearchField::Genre},
}};

bool holdsLineBreakOrNul(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
           text.contains(QChar(u'\0'));
}

} // namespace

std::optional<AddressedCommand> splitAddressedCommand(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    return AddressedCommand{trimmed.left(colon), trimmed.mid(colon + 1)};
}

std::optional<JukeboxCommand> parseJukeboxCommand(const QString& command) {
    if (holdsLineBreakOrNul(command))
        return std::nullopt;
    for (const auto& [name, action] : PlainCommands) {
        if (command == name)
            return JukeboxCommand{action, {}, {}};
    }
    // The value runs from the first quotation mark to the last one, so it may itself hold quotation
    // marks.
    static const QRegularExpression search(QStringLiteral(R"re(^search\[([a-z]+) *== *"(.*)"\]$)re"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = search.match(command);
    if (!match.hasMatch())
        return std::nullopt;
    for (const auto& [name, field] : SearchFields) {
        if (match.capturedView(1) == name)
            return JukeboxCommand{JukeboxAction::Search, field, match.captured(2)};
    }
    return std::nullopt;
}

bool isTransmitPortSettings(const QString& portSettings) {
    // Read without a regular expression: this runs at start-up, and the first expression compiled
    // brings in the expression library and its compiler, some 450 KiB more resident.
    const auto separates = [](QChar c) { return c.isSpace() || c == u',' || c == u';'; };
    const QStringView settings(portSettings);
    qsizetype end = 0;
    while (end < settings.size()) {
        qsizetype start = end;
        while (start < settings.size() && separates(settings[start]))
            ++start;
        end = start;
        while (end < settings.size() && !separates(settings[end]))
            ++end;
        if (settings.sliced(start, end - start) == u"type=devtx")
            return true;
    }
    return false;
}

} // namespace velmor
