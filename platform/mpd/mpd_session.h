#pragma once

#include "platform/common/reconnect_backoff.h"
#include "platform/mpd/mpd_handles.h"
#include "platform/mpd/mpd_outcome.h"
#include "platform/mpd/mpd_server_address.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace velmor {

// One connection to MPD, kept on the event loop: between requests it waits in MPD's idle mode and
// a socket notifier wakes it when the player changes. The server is the one given; what it leaves
// empty is found the way libmpdclient finds it. A refused or lost connection is made anew with growing
// pauses; no call waits on MPD for longer than the library's time-out. libmpdclient writes to its
// socket without suppressing SIGPIPE, so the program must ignore that signal for a vanished MPD to come
// back as an error.
class MpdSession : public QObject {
    Q_OBJECT
public:
    explicit MpdSession(MpdServerAddress server = {}, QObject* parent = nullptr);
    ~MpdSession() override;

    // Begins connecting, on the event loop; a second call changes nothing.
    void start();
    [[nodiscard]] bool isConnected() const { return m_connection != nullptr; }

    // Runs a piece of work between leaving idle mode and entering it again. The work may call any
    // number of library functions: once one fails, the library lets the rest fail at once, and the
    // first failure decides the outcome. A lost connection is made anew later.
    MpdOutcome run(const std::function<void(mpd_connection&)>& work);

Q_SIGNALS:
    void connected();
    // The connection went away; requests fail until connected() comes again.
    void connectionLost();
    // An attempt to connect failed; another follows after a pause.
    void connectFailed();
    void playerChanged();

private:
    void connectNow();
    void drop(const QString& reason);
    // Done, or the connection was lost on the way out of idle mode.
    [[nodiscard]] MpdOutcome leaveIdle();
    void enterIdle();
    void onReadable();

    MpdServerAddress m_server;
    MpdConnectionHandle m_connection;
    std::unique_ptr<QSocketNotifier> m_notifier;
    ReconnectBackoff m_backoff;
    bool m_started = false;
    bool m_idle = false;
};

} // namespace velmor
