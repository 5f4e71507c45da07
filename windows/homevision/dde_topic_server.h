#pragma once

#include "windows/common/dde_instance.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace velmor::homevision {

// The server side of one DDE topic: keeps the items' values (UTF-8 here, Windows-1252 CF_TEXT on the
// wire), takes pokes, and tells its listener of every call and change. It decides nothing about what
// a poke means; the stand-in does. Lives on the thread whose message loop serves DDEML.
class DdeTopicServer final : private windows::DdeHandler {
public:
    class Listener {
    public:
        // A call arrived (item and value empty where the call has none).
        virtual void received(const std::string& call, const std::string& item, const std::string& value) = 0;
        // The item's new value went out to its advise loops.
        virtual void sent(const std::string& item, const std::string& value) = 0;
        // A client now listens to the item.
        virtual void advised(const std::string& item) = 0;
        // The poke was acknowledged and the item holds its new value.
        virtual void poked(const std::string& item, const std::string& value) = 0;

    protected:
        ~Listener() = default;
    };

    // Posted to the thread when acknowledged pokes wait to take effect; its loop then calls
    // acceptPokes().
    static constexpr UINT AcceptPokesMessage = WM_APP + 2;

    // Throws windows::DdeFailure.
    DdeTopicServer(const std::string& application, const std::string& topic,
                   std::set<std::string> refusedPokes, Listener& listener);
    ~DdeTopicServer();
    DdeTopicServer(const DdeTopicServer&) = delete;
    DdeTopicServer& operator=(const DdeTopicServer&) = delete;

    // Registers the application's name, so that clients find the topic. Throws windows::DdeFailure.
    void serve();
    void setItem(const std::string& item, const std::string& value);
    void acceptPokes();

private:
    HDDEDATA onTransaction(const windows::DdeTransaction& transaction) override;
    [[nodiscard]] HDDEDATA valueOf(HSZ item);

    windows::DdeInstance m_dde;
    windows::DdeString m_application;
    windows::DdeString m_topic;
    std::set<std::string> m_refusedPokes;
    Listener& m_listener;
    std::map<std::string, std::string> m_items;
    std::deque<std::pair<std::string, std::string>> m_acknowledgedPokes;
    bool m_serving = false;
};

} // namespace velmor::homevision
