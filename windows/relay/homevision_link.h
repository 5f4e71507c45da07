#pragma once

#include "windows/common/dde_instance.h"

#include <string>
#include <vector>

namespace velmor::relay {

// The relay's DDE conversation with HomeVision, on the thread of the DDEML instance it is given: an
// advise loop for each item asked for, and pokes one at a time. Every wait is bounded by the time-out.
class HomeVisionLink {
public:
    // What the conversation tells its owner, from inside DDEML's callback.
    class Listener {
    public:
        // A new value of an advised item, as the CF_TEXT bytes HomeVision sent.
        virtual void itemChanged(const std::string& item, const std::string& bytes) = 0;
        // HomeVision ended the conversation.
        virtual void conversationEnded() = 0;

    protected:
        ~Listener() = default;
    };

    static constexpr DWORD TimeoutMs = 5000;

    HomeVisionLink(windows::DdeInstance& dde, const std::string& application, const std::string& topic,
                   const std::vector<std::string>& advised, Listener& listener);
    ~HomeVisionLink();
    HomeVisionLink(const HomeVisionLink&) = delete;
    HomeVisionLink& operator=(const HomeVisionLink&) = delete;

    // Connects and starts the advise loops: empty when all went well, otherwise why not (and closed).
    [[nodiscard]] std::string open();
    void close();
    [[nodiscard]] bool isOpen() const { return m_conversation != nullptr; }
    // Whether HomeVision is still at the other end. Some DDEML implementations never say when it went
    // away; this asks DDEML and looks for HomeVision's window.
    [[nodiscard]] bool stillThere() const;
    // One synchronous poke of CF_TEXT: empty when HomeVision acknowledged it, otherwise DDE's error.
    [[nodiscard]] std::string poke(const std::string& item, const std::string& bytes);

    // DDEML's callback, for this conversation's transactions.
    HDDEDATA onTransaction(const windows::DdeTransaction& transaction);

private:
    struct AdvisedItem {
        std::string name;
        windows::DdeString handle;
    };

    windows::DdeInstance& m_dde;
    windows::DdeString m_application;
    windows::DdeString m_topic;
    std::vector<AdvisedItem> m_advised;
    Listener& m_listener;
    HCONV m_conversation = nullptr;
};

} // namespace velmor::relay
