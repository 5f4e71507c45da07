#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <utility>

namespace velmor::windows {

// Hands work from any thread to one thread's message loop: put() queues it and posts `message` to that
// thread, whose loop then takes everything queued. The work travels in the queue, not the message, so
// a wake-up that a modal loop swallows loses nothing: the next take() finds it.
template <typename T> class ThreadMailbox {
public:
    ThreadMailbox(DWORD thread, UINT message)
        : m_thread(thread)
        , m_message(message) {}

    void put(T item) {
        {
            const std::lock_guard lock(m_mutex);
            m_items.push_back(std::move(item));
        }
        PostThreadMessageW(m_thread, m_message, 0, 0);
    }

    [[nodiscard]] std::deque<T> takeAll() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_items, {});
    }

private:
    DWORD m_thread;
    UINT m_message;
    std::mutex m_mutex;
    std::deque<T> m_items;
};

} // namespace velmor::windows
