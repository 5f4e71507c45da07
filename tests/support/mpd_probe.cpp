#include "tests/support/mpd_probe.h"

#include "platform/mpd/mpd_handles.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmor::test {

namespace {

std::string tag(const mpd_song& song, mpd_tag_type type) {
    const char* value = mpd_song_get_tag(&song, type, 0);
    return value != nullptr ? value : "";
}

// Runs work on a fresh connection and fails the test when MPD or the connection objects.
void withConnection(const QString& socketPath, const std::function<void(mpd_connection&)>& work) {
    const MpdConnectionHandle connection(mpd_connection_new(socketPath.toUtf8().constData(), 0, 5000));
    ASSERT_TRUE(connection);
    if (mpd_connection_get_error(connection.get()) == MPD_ERROR_SUCCESS)
        work(*connection);
    if (mpd_connection_get_error(connection.get()) != MPD_ERROR_SUCCESS)
        FAIL() << "MPD: " << mpd_connection_get_error_message(connection.get());
}

} // namespace

std::vector<std::string> MpdProbe::queue() const {
    std::vector<std::string> entries;
    withConnection(m_socketPath, [&](mpd_connection& c) {
        mpd_send_list_queue_meta(&c);
        while (const MpdSongHandle song{mpd_recv_song(&c)})
            entries.push_back(tag(*song, MPD_TAG_ARTIST) + '|' + tag(*song, MPD_TAG_ALBUM) + '|' +
                              tag(*song, MPD_TAG_TITLE));
        mpd_response_finish(&c);
    });
    return entries;
}

bool MpdProbe::random() const {
    bool random = false;
    withConnection(m_socketPath, [&](mpd_connection& c) {
        if (const MpdStatusHandle status{mpd_run_status(&c)})
            random = mpd_status_get_random(status.get());
    });
    return random;
}

MpdProbe::State MpdProbe::state() const {
    State state = State::Stopped;
    withConnection(m_socketPath, [&](mpd_connection& c) {
        if (const MpdStatusHandle status{mpd_run_status(&c)}) {
            const mpd_state s = mpd_status_get_state(status.get());
            state = s == MPD_STATE_PLAY    ? State::Playing
                    : s == MPD_STATE_PAUSE ? State::Paused
                                           : State::Stopped;
        }
    });
    return state;
}

std::optional<std::string> MpdProbe::currentTitle() const {
    std::optional<std::string> title;
    withConnection(m_socketPath, [&](mpd_connection& c) {
        if (const MpdSongHandle song{mpd_run_current_song(&c)})
            title = tag(*song, MPD_TAG_TITLE);
    });
    return title;
}

void MpdProbe::reset() const {
    withConnection(m_socketPath, [&](mpd_connection& c) {
        mpd_command_list_begin(&c, false);
        mpd_send_stop(&c);
        mpd_send_clear(&c);
        mpd_send_random(&c, false);
        mpd_send_repeat(&c, false);
        mpd_send_single(&c, false);
        mpd_send_consume(&c, false);
        mpd_command_list_end(&c);
        mpd_response_finish(&c);
    });
}

void MpdProbe::queueTitles(const std::vector<QString>& titles) const {
    withConnection(m_socketPath, [&](mpd_connection& c) {
        for (const QString& title : titles) {
            mpd_search_add_db_songs(&c, true);
            mpd_search_add_tag_constraint(&c, MPD_OPERATOR_DEFAULT, MPD_TAG_TITLE,
                                          title.toUtf8().constData());
            mpd_search_commit(&c);
            mpd_response_finish(&c);
        }
    });
}

void MpdProbe::command(const QString& line) const {
    withConnection(m_socketPath, [&](mpd_connection& c) {
        mpd_send_command(&c, line.toUtf8().constData(), nullptr);
        mpd_response_finish(&c);
    });
}

} // namespace velmor::test
