#include "windows/relay/homevision_link.h"

namespace velmor::relay {

namespace {

// Why a poke HomeVision answered got no positive acknowledgement; empty when it did. Some DDEML
// implementations report a negative acknowledgement only in the result's flags.
std::string refusal(DWORD result) {
    if ((result & DDE_FACK) != 0)
        return {};
    return (result & DDE_FBUSY) != 0 ? "DMLERR_BUSY" : "DMLERR_NOTPROCESSED";
}

} // namespace

HomeVisionLink::HomeVisionLink(windows::DdeInstance& dde, const std::string& application,
                               const std::string& topic, const std::vector<std::string>& advised,
                               Listener& listener)
    : m_dde(dde)
    , m_application(dde.string(application))
    , m_topic(dde.string(topic))
    , m_listener(listener) {
    for (const std::string& item : advised)
        m_advised.push_back({item, dde.string(item)});
}

HomeVisionLink::~HomeVisionLink() {
    close();
}

std::string HomeVisionLink::open() {
    close();
    m_conversation = DdeConnect(m_dde.id(), m_application.get(), m_topic.get(), nullptr);
    if (m_conversation == nullptr)
        return m_dde.lastError();
    for (const AdvisedItem& item : m_advised) {
        DWORD result = 0;
        if (DdeClientTransaction(nullptr, 0, m_conversation, item.handle.get(), CF_TEXT, XTYP_ADVSTART,
                                 TimeoutMs, &result) == nullptr) {
            std::string why = "it would not advise " + item.name + ": " + m_dde.lastError();
            close();
            return why;
        }
    }
    return {};
}

void HomeVisionLink::close() {
    if (m_conversation == nullptr)
        return;
    DdeDisconnect(m_conversation);
    m_conversation = nullptr;
}

bool HomeVisionLink::stillThere() const {
    if (m_conversation == nullptr)
        return false;
    CONVINFO info{};
    info.cb = sizeof info;
    return DdeQueryConvInfo(m_conversation, QID_SYNC, &info) != 0 && (info.wStatus & ST_CONNECTED) != 0 &&
           IsWindow(info.hwndPartner) != 0;
}

std::string HomeVisionLink::poke(const std::string& item, const std::string& bytes) {
    if (m_conversation == nullptr)
        return "HomeVision is not connected";
    const windows::DdeString itemHandle = m_dde.string(item);
    std::string terminated = bytes;
    terminated += '\0';
    DWORD result = 0;
    if (DdeClientTransaction(reinterpret_cast<LPBYTE>(terminated.data()),
                             static_cast<DWORD>(terminated.size()), m_conversation, itemHandle.get(), CF_TEXT,
                             XTYP_POKE, TimeoutMs, &result) == nullptr)
        return m_dde.lastError();
    return refusal(result);
}

HDDEDATA HomeVisionLink::onTransaction(const windows::DdeTransaction& transaction) {
    if (m_conversation == nullptr || transaction.conversation != m_conversation)
        return nullptr;
    if (transaction.type == XTYP_DISCONNECT) {
        // DDEML has ended the conversation already; its handle is no longer ours to close.
        m_conversation = nullptr;
        m_listener.conversationEnded();
        return nullptr;
    }
    if (transaction.type == XTYP_ADVDATA) {
        for (const AdvisedItem& item : m_advised) {
            if (item.handle.names(transaction.second)) {
                m_listener.itemChanged(item.name, windows::DdeInstance::bytesOf(transaction.data));
                break;
            }
        }
        return windows::ddeAnswer(DDE_FACK);
    }
    return nullptr;
}

} // namespace velmor::relay
