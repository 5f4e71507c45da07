#include "windows/homevision/dde_topic_server.h"

#include "windows/common/windows_1252.h"

namespace velmor::homevision {

DdeTopicServer::DdeTopicServer(const std::string& application, const std::string& topic,
                               std::set<std::string> refusedPokes, Listener& listener)
    : m_dde(*this, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS)
    , m_application(m_dde.string(application))
    , m_topic(m_dde.string(topic))
    , m_refusedPokes(std::move(refusedPokes))
    , m_listener(listener) {}

DdeTopicServer::~DdeTopicServer() {
    if (m_serving)
        DdeNameService(m_dde.id(), m_application.get(), nullptr, DNS_UNREGISTER);
}

void DdeTopicServer::serve() {
    if (DdeNameService(m_dde.id(), m_application.get(), nullptr, DNS_REGISTER) == nullptr)
        throw windows::DdeFailure("cannot serve the DDE application name: " + m_dde.lastError());
    m_serving = true;
}

void DdeTopicServer::setItem(const std::string& item, const std::string& value) {
    m_items[item] = value;
    const windows::DdeString handle = m_dde.string(item);
    DdePostAdvise(m_dde.id(), m_topic.get(), handle.get());
    m_listener.sent(item, value);
}

void DdeTopicServer::acceptPokes() {
    while (!m_acknowledgedPokes.empty()) {
        auto [item, value] = std::move(m_acknowledgedPokes.front());
        m_acknowledgedPokes.pop_front();
        m_items[item] = value;
        m_listener.poked(item, value);
    }
}

HDDEDATA DdeTopicServer::valueOf(HSZ item) {
    const auto found = m_items.find(m_dde.text(item));
    if (found == m_items.end())
        return nullptr;
    return m_dde.textData(windows::windows1252FromUtf8(found->second), item);
}

HDDEDATA DdeTopicServer::onTransaction(const windows::DdeTransaction& transaction) {
    switch (transaction.type) {
    case XTYP_CONNECT:
        if (!m_topic.names(transaction.first))
            return windows::ddeAnswer(FALSE);
        m_listener.received("Initiate", {}, {});
        return windows::ddeAnswer(TRUE);
    case XTYP_ADVSTART: {
        const std::string item = m_dde.text(transaction.second);
        m_listener.received("Advise", item, {});
        m_listener.advised(item);
        return windows::ddeAnswer(TRUE);
    }
    case XTYP_ADVREQ:
        return valueOf(transaction.second);
    case XTYP_REQUEST: {
        m_listener.received("Request", m_dde.text(transaction.second), {});
        return valueOf(transaction.second);
    }
    case XTYP_POKE: {
        const std::string item = m_dde.text(transaction.second);
        const std::string value =
            windows::utf8FromWindows1252(windows::DdeInstance::bytesOf(transaction.data));
        m_listener.received("Poke", item, value);
        if (m_refusedPokes.contains(item))
            return windows::ddeAnswer(DDE_FNOTPROCESSED);
        // The acknowledgement goes out when this returns; acting on the value only afterwards lets
        // the client see it before anything the value sets off.
        m_acknowledgedPokes.emplace_back(item, value);
        PostThreadMessageW(GetCurrentThreadId(), AcceptPokesMessage, 0, 0);
        return windows::ddeAnswer(DDE_FACK);
    }
    default:
        return nullptr;
    }
}

} // namespace velmor::homevision
