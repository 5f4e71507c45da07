#pragma once

#include <QObject>

#include <deque>
#include <functional>

namespace velmor {

// Hands what the broker connection has to tell its receivers to them from the event loop, one after
// another in the order it happened. Nothing goes out while a Hold lives (a blocking wait drives the
// socket: no receiver may run inside it) or while earlier ones are still being told (a receiver that
// runs a nested event loop must not overtake them).
class OrderedDelivery {
    enum class Phase {
        Idle,
        Held,             // a wait drives the socket
        Telling,          // a receiver runs
        HeldWhileTelling, // a receiver waits
    };

public:
    // Calls are made on the event loop of this object's thread.
    explicit OrderedDelivery(QObject& context);

    void post(std::function<void()> call);

    class Hold {
    public:
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        Hold(Hold&&) = delete;
        Hold& operator=(Hold&&) = delete;

    private:
        friend class OrderedDelivery;
        explicit Hold(OrderedDelivery& delivery);
        OrderedDelivery& m_delivery;
        Phase m_previous;
    };
    // What is posted meanwhile goes out from the event loop once the hold ends.
    [[nodiscard]] Hold hold() { return Hold(*this); }

private:
    [[nodiscard]] bool held() const { return m_phase == Phase::Held || m_phase == Phase::HeldWhileTelling; }
    void schedule();
    void deliver();

    QObject& m_context;
    std::deque<std::function<void()>> m_calls;
    Phase m_phase = Phase::Idle;
};

} // namespace velmor
