// How long Velmor's window leaves the desktop's pings unanswered while the MQTT broker hangs during a
// command, and while 10,000 messages arrive as fast as a client can publish them. A desktop shows a
// window as "not responding" when its _NET_WM_PING goes unanswered for about five seconds. It prints
// figures and asserts nothing.

#include "bench/program_under_test.h"
#include "platform/mqtt/mosquitto_library.h"
#include "platform/mqtt/mqtt_connection.h"
#include "tests/support/child_process.h"
#include "tests/support/throwaway_mosquitto.h"
#include "tests/support/virtual_display.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <functional>
#include <map>
#include <poll.h>
#include <xcb/xcb.h>

namespace velmor::bench {
namespace {

constexpr int WaitMs = 10'000;
constexpr int PingEveryMs = 5;
constexpr int FloodCount = 10'000;
const QString Title = QStringLiteral("Velmor - Central Controls");

// A window manager's side of _NET_WM_PING, on a connection of its own: a ping every few milliseconds,
// and for each the time until the window answered (or until now, for one still unanswered).
class Pinger {
public:
    Pinger(const QString& display, xcb_window_t window)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
        , m_window(window) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_protocols = atom("WM_PROTOCOLS");
        m_ping = atom("_NET_WM_PING");
        // The answer goes to the root window, to the client that redirects its substructure: the window
        // manager, which there is none of but this one.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_clock.start();
    }
    ~Pinger() { xcb_disconnect(m_connection); }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    // Pings and reads answers, serving this program's own event loop in between, until done() holds.
    void runUntil(const std::function<bool()>& done, int limitMs) {
        QElapsedTimer running;
        running.start();
        qint64 lastPing = -PingEveryMs;
        while (!done() && !running.hasExpired(limitMs)) {
            if (m_clock.elapsed() - lastPing >= PingEveryMs) {
                lastPing = m_clock.elapsed();
                ping(static_cast<uint32_t>(lastPing));
            }
            pollfd entry{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&entry, 1, 1);
            readAnswers();
            QCoreApplication::processEvents();
        }
    }
    // The longest time a ping waited for its answer, in milliseconds.
    [[nodiscard]] qint64 longestUnanswered() const {
        qint64 longest = 0;
        for (const auto& [sent, answered] : m_pings)
            longest = std::max(longest, (answered < 0 ? m_clock.elapsed() : answered) - sent);
        return longest;
    }
    void forget() { m_pings.clear(); }

private:
    xcb_atom_t atom(const char* name) const {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(strlen(name)), name),
            nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return found;
    }
    void ping(uint32_t stamp) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_window;
        event.type = m_protocols;
        event.data.data32[0] = m_ping;
        event.data.data32[1] = stamp;
        event.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
        m_pings.emplace(stamp, -1);
    }
    void readAnswers() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
                const auto found = m_pings.find(message->data.data32[1]);
                if (message->data.data32[0] == m_ping && found != m_pings.end() && found->second < 0)
                    found->second = m_clock.elapsed();
            }
            free(event);
        }
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    xcb_window_t m_root = 0;
    xcb_atom_t m_protocols = 0;
    xcb_atom_t m_ping = 0;
    QElapsedTimer m_clock;
    // Sent at (ms) -> answered at (ms), -1 while unanswered.
    std::map<qint64, qint64> m_pings;
};

MqttBrokerAddress brokerAt(const QString& url) {
    return std::get<MqttBrokerAddress>(parseMqttBrokerAddress(url));
}

int run() {
    const MosquittoLibrary library;
    test::VirtualDisplay display;
    test::ThrowawayMosquitto broker;
    if (!display.isRunning() || !broker.start()) {
        std::fprintf(stderr, "no display or broker: %s%s\n", qPrintable(display.errorString()),
                     qPrintable(broker.failure()));
        return 1;
    }
    // HomeVision online, and a client that watches what Velmor does.
    MqttConnection controller(brokerAt(broker.url()), QStringLiteral("bench-controller"));
    int calls = 0;
    int acknowledged = 0;
    controller.subscribe(QStringLiteral("velmor/call"), 1);
    controller.subscribe(QStringLiteral("velmor/HOMEVIS/DDE/DDEMessageAcknowledge/set"), 1);
    QObject::connect(&controller, &MqttConnection::messageReceived, [&](const QString& topic) {
        ++(topic == QLatin1String("velmor/call") ? calls : acknowledged);
    });
    const QDeadlineTimer ready(WaitMs);
    const auto online =
        controller.waitForConnected(ready)
            ? controller.publish(QStringLiteral("velmor/HOMEVIS/DDE/state"), "online", 1, true)
            : std::nullopt;
    if (!online || !controller.waitForAcknowledgement(*online, ready))
        return 1;

    // A caller-ID server: each call Velmor hears makes it send HomeVision a command.
    QProcess ncid;
    ncid.start(QStringLiteral(NCID_SERVER_PROGRAM), {QStringLiteral("--port"), QStringLiteral("0")});
    QByteArray said;
    while (!said.contains("listening on port ") || !said.endsWith('\n')) {
        if (!ncid.waitForReadyRead(WaitMs))
            return 1;
        said += ncid.readAllStandardOutput();
    }
    const QByteArray port = said.mid(said.indexOf("listening on port ") + 18).trimmed();

    QProcessEnvironment environment = measuredEnvironment(QString(), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display.name());
    environment.insert(QStringLiteral("VELMOR_MQTT"), broker.url());
    environment.insert(QStringLiteral("NCID_HOST"), QStringLiteral("127.0.0.1"));
    environment.insert(QStringLiteral("NCID_PORT"), QString::fromLatin1(port));
    ProgramUnderTest velmor(velmorProgram(), environment);
    if (!velmor.start())
        return 1;
    QElapsedTimer waited;
    waited.start();
    while (display.windowsTitled(Title).empty() && !waited.hasExpired(WaitMs))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    if (display.windowsTitled(Title).empty())
        return 1;
    Pinger pinger(display.name(), display.windowsTitled(Title).front());
    // A first call, with the broker well, shows that the caller ID and the links are up.
    ncid.write("4075551212 FIRST\n");
    pinger.runUntil([&] { return calls >= 1; }, WaitMs);
    pinger.runUntil([] { return false; }, 1000);
    std::printf("broker well, idle for 1 s: longest unanswered ping %lld ms\n",
                static_cast<long long>(pinger.longestUnanswered()));
    pinger.forget();

    broker.pause();
    ncid.write("4075551213 SECOND\n");
    QElapsedTimer hung;
    hung.start();
    pinger.runUntil([] { return false; }, 7000);
    std::printf("hung broker, a call's command waiting on it for 7 s: longest unanswered ping %lld ms\n",
                static_cast<long long>(pinger.longestUnanswered()));
    broker.resume();
    pinger.runUntil([&] { return calls >= 2; }, WaitMs);
    pinger.forget();

    // The flood comes from a client of its own, as fast as it can publish, so that this program only
    // pings and counts.
    const int before = acknowledged;
    QByteArray lines;
    for (int i = 1; i <= FloodCount; ++i)
        lines += QByteArray::number(i) + '\n';
    QProcess flood;
    flood.start(QStringLiteral("mosquitto_pub"),
                {QStringLiteral("-p"), QString::number(broker.port()), QStringLiteral("-t"),
                 QStringLiteral("velmor/HOMEVIS/DDE/DDEMessage"), QStringLiteral("-l")});
    if (!flood.waitForStarted(WaitMs))
        return 1;
    QElapsedTimer flooding;
    flooding.start();
    flood.write(lines);
    flood.closeWriteChannel();
    pinger.runUntil([&] { return acknowledged - before >= FloodCount; }, 120'000);
    std::printf("%d messages in a flood, %d acknowledged in %lld ms: longest unanswered ping %lld ms\n",
                FloodCount, acknowledged - before, static_cast<long long>(flooding.elapsed()),
                static_cast<long long>(pinger.longestUnanswered()));
    velmor.stop();
    ncid.closeWriteChannel();
    test::stopChild(ncid, WaitMs);
    return 0;
}

} // namespace
} // namespace velmor::bench

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return velmor::bench::run();
}
