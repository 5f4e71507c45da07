#include "platform/mpd/mpd_requests.h"

#include "platform/mpd/mpd_handles.h"

#include <QByteArray>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace velmor {

namespace {

mpd_tag_type tagOf(SearchField field) {
    switch (field) {
    case SearchField::Artist:
        return MPD_TAG_ARTIST;
    case SearchField::Disc:
        return MPD_TAG_ALBUM;
    case SearchField::Track:
        return MPD_TAG_TITLE;
    case SearchField::Genre:
        return MPD_TAG_GENRE;
    }
    Q_UNREACHABLE();
}

QString tagText(const mpd_song& song, mpd_tag_type tag) {
    const char* value = mpd_song_get_tag(&song, tag, 0);
    return value != nullptr ? QString::fromUtf8(value) : QString();
}

void addMatchingTracks(mpd_connection& connection, mpd_tag_type tag, const QByteArray& value) {
    mpd_search_add_db_songs(&connection, true);
    mpd_search_add_tag_constraint(&connection, MPD_OPERATOR_DEFAULT, tag, value.constData());
    mpd_search_commit(&connection);
    mpd_response_finish(&connection);
}

// A disc is an album in one folder: albums of the same name elsewhere are other discs.
struct DiscOrTrack {
    std::string album; // empty for a track that belongs to no album
    std::string folder;
    std::string uri;

    [[nodiscard]] bool sameAs(const DiscOrTrack& other) const {
        return album.empty() ? uri == other.uri : album == other.album && folder == other.folder;
    }
};

void addMatchingDiscs(mpd_connection& connection, mpd_tag_type tag, const QByteArray& value) {
    mpd_search_db_songs(&connection, true);
    mpd_search_add_tag_constraint(&connection, MPD_OPERATOR_DEFAULT, tag, value.constData());
    mpd_search_commit(&connection);
    std::vector<DiscOrTrack> picks;
    while (const MpdSongHandle song{mpd_recv_song(&connection)}) {
        const char* album = mpd_song_get_tag(song.get(), MPD_TAG_ALBUM, 0);
        const std::string uri = mpd_song_get_uri(song.get());
        const auto slash = uri.rfind('/');
        DiscOrTrack pick{album != nullptr ? album : "",
                         slash == std::string::npos ? "" : uri.substr(0, slash), uri};
        if (std::none_of(picks.begin(), picks.end(), [&](const DiscOrTrack& p) { return p.sameAs(pick); }))
            picks.push_back(std::move(pick));
    }
    if (!mpd_response_finish(&connection) || picks.empty())
        return;

    mpd_command_list_begin(&connection, false);
    for (const DiscOrTrack& pick : picks) {
        if (pick.album.empty()) {
            mpd_send_add(&connection, pick.uri.c_str());
            continue;
        }
        mpd_search_add_db_songs(&connection, true);
        mpd_search_add_tag_constraint(&connection, MPD_OPERATOR_DEFAULT, MPD_TAG_ALBUM, pick.album.c_str());
        if (!pick.folder.empty())
            mpd_search_add_base_constraint(&connection, MPD_OPERATOR_DEFAULT, pick.folder.c_str());
        mpd_search_commit(&connection);
    }
    mpd_command_list_end(&connection);
    mpd_response_finish(&connection);
}

// What a search value may take of the request, escaped: the buffer less room for the request's own
// words and the longest tag name.
constexpr qsizetype LongestEscapedSearchValue = 4000;

} // namespace

bool fitsOneRequest(const JukeboxCommand& command) {
    if (command.action != JukeboxAction::Search)
        return true;
    const QByteArray value = command.value.toUtf8();
    // Quotation marks and backslashes go escaped, two bytes each.
    const qsizetype escaped = value.size() + value.count('"') + value.count('\\');
    return escaped <= LongestEscapedSearchValue;
}

void requestCommand(mpd_connection& connection, const JukeboxCommand& command, bool wholeDiscs) {
    switch (command.action) {
    case JukeboxAction::Play:
        mpd_run_play(&connection);
        return;
    case JukeboxAction::Stop:
        mpd_run_stop(&connection);
        return;
    case JukeboxAction::Pause:
        mpd_run_toggle_pause(&connection);
        return;
    case JukeboxAction::Next:
        mpd_run_next(&connection);
        return;
    case JukeboxAction::Previous:
        mpd_run_previous(&connection);
        return;
    case JukeboxAction::Clear:
        mpd_run_clear(&connection);
        return;
    case JukeboxAction::ManualOrder:
        mpd_run_random(&connection, false);
        return;
    case JukeboxAction::RandomOrder:
        mpd_run_random(&connection, true);
        return;
    case JukeboxAction::Search:
        if (wholeDiscs)
            addMatchingDiscs(connection, tagOf(command.field), command.value.toUtf8());
        else
            addMatchingTracks(connection, tagOf(command.field), command.value.toUtf8());
        return;
    case JukeboxAction::SearchTracks:
    case JukeboxAction::SearchDiscs:
        return;
    }
}

void requestUsedTagsOnly(mpd_connection& connection) {
    static constexpr mpd_tag_type Used[] = {MPD_TAG_ARTIST, MPD_TAG_ALBUM, MPD_TAG_TITLE};
    mpd_command_list_begin(&connection, false);
    mpd_send_clear_tag_types(&connection);
    mpd_send_enable_tag_types(&connection, Used, std::size(Used));
    mpd_command_list_end(&connection);
    mpd_response_finish(&connection);
}

std::optional<PlayerSnapshot> requestPlayer(mpd_connection& connection,
                                            std::optional<unsigned> skippedSongId) {
    // The state first, on its own: a song whose tags the library cannot read costs the connection,
    // and the state says which song that is.
    const MpdStatusHandle status{mpd_run_status(&connection)};
    if (!status)
        return std::nullopt;

    PlayerSnapshot snapshot;
    switch (mpd_status_get_state(status.get())) {
    case MPD_STATE_PLAY:
        snapshot.state = PlayState::Playing;
        break;
    case MPD_STATE_PAUSE:
        snapshot.state = PlayState::Paused;
        break;
    case MPD_STATE_STOP:
    case MPD_STATE_UNKNOWN:
        snapshot.state = PlayState::Stopped;
        break;
    }
    const int songId = mpd_status_get_song_id(status.get());
    if (songId < 0)
        return snapshot;
    snapshot.songId = static_cast<unsigned>(songId);
    if (snapshot.songId == skippedSongId)
        return snapshot;
    if (const MpdSongHandle song{mpd_run_current_song(&connection)}) {
        snapshot.songId = mpd_song_get_id(song.get());
        snapshot.track = {tagText(*song, MPD_TAG_ALBUM), tagText(*song, MPD_TAG_ARTIST),
                          tagText(*song, MPD_TAG_TITLE), mpd_song_get_duration(song.get())};
    }
    return snapshot;
}

} // namespace velmor
