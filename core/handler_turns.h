#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>

namespace velmor {

// Event handlers take turns: none starts inside a wait that lets the event loop turn so that the
// window is served. A handler that comes up meanwhile is kept with its input and runs after the wait,
// in order, each at a turn of the event loop of its own; an event that comes later queues behind the
// kept ones. A handler raised by another one as it runs (a caption it sets) runs at once, as always.
// Every handler goes through runHandler, the one dispatch boundary.
class HandlerTurns {
public:
    // Runs the handler now, or keeps it for after the wait.
    void run(const char* handling, QString input, std::function<void()> handler);

    // Marks a wait as under way for as long as it lives.
    class Waiting {
    public:
        explicit Waiting(HandlerTurns& turns);
        ~Waiting();
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        HandlerTurns& m_turns;
    };

private:
    struct Kept {
        const char* handling;
        QString input;
        std::function<void()> handler;
    };

    void runNow(const Kept& kept);
    void scheduleKept();
    void runKept();

    int m_waiting = 0;
    int m_running = 0;
    bool m_scheduled = false;
    std::deque<Kept> m_kept;
    // Where the kept handlers are posted to, on the event loop of the thread that made this.
    QObject m_context;
};

} // namespace velmor
