#include "windows/common/dde_instance.h"

#include "windows/common/wide_text.h"

#include <cstring>
#include <utility>

namespace velmor::windows {

namespace {

// DDEML's callback carries no context; the instance is the thread's, so the handler is too.
thread_local DdeHandler* t_handler = nullptr;

HDDEDATA CALLBACK ddeCallback(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                              HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2) {
    if (t_handler == nullptr)
        return nullptr;
    return t_handler->onTransaction({type, format, conversation, first, second, data, data1, data2});
}

} // namespace

DdeString::~DdeString() {
    if (m_handle != nullptr)
        DdeFreeStringHandle(m_instance, m_handle);
}

DdeString::DdeString(DdeString&& other) noexcept
    : m_instance(other.m_instance)
    , m_handle(std::exchange(other.m_handle, nullptr)) {}

DdeInstance::DdeInstance(DdeHandler& handler, DWORD flags) {
    if (t_handler != nullptr)
        throw DdeFailure("DDEML is already set up on this thread");
    const UINT result = DdeInitializeW(&m_id, &ddeCallback, flags, 0);
    if (result != DMLERR_NO_ERROR)
        throw DdeFailure("DDEML did not start: " + ddeErrorName(result));
    t_handler = &handler;
}

DdeInstance::~DdeInstance() {
    DdeUninitialize(m_id);
    t_handler = nullptr;
}

DdeString DdeInstance::string(std::string_view utf8) const {
    const std::wstring wide = wideFromUtf8(utf8);
    return {m_id, DdeCreateStringHandleW(m_id, wide.c_str(), CP_WINUNICODE)};
}

std::string DdeInstance::text(HSZ handle) const {
    const DWORD length = DdeQueryStringW(m_id, handle, nullptr, 0, CP_WINUNICODE);
    std::wstring wide(length + 1, L'\0');
    DdeQueryStringW(m_id, handle, wide.data(), length + 1, CP_WINUNICODE);
    wide.resize(length);
    return utf8FromWide(wide);
}

std::string DdeInstance::lastError() const {
    return ddeErrorName(DdeGetLastError(m_id));
}

HDDEDATA DdeInstance::textData(std::string_view bytes, HSZ item) const {
    std::string terminated(bytes);
    terminated += '\0';
    return DdeCreateDataHandle(m_id, reinterpret_cast<LPBYTE>(terminated.data()),
                               static_cast<DWORD>(terminated.size()), 0, item, CF_TEXT, 0);
}

std::string DdeInstance::bytesOf(HDDEDATA data) {
    if (data == nullptr)
        return {};
    DWORD size = 0;
    const BYTE* bytes = DdeAccessData(data, &size);
    if (bytes == nullptr)
        return {};
    const auto* text = reinterpret_cast<const char*>(bytes);
    std::string result(text, strnlen(text, size));
    DdeUnaccessData(data);
    return result;
}

std::string ddeErrorName(UINT error) {
    switch (error) {
    case DMLERR_NO_ERROR:
        return "no error";
    case DMLERR_ADVACKTIMEOUT:
        return "DMLERR_ADVACKTIMEOUT";
    case DMLERR_BUSY:
        return "DMLERR_BUSY";
    case DMLERR_DATAACKTIMEOUT:
        return "DMLERR_DATAACKTIMEOUT";
    case DMLERR_DLL_NOT_INITIALIZED:
        return "DMLERR_DLL_NOT_INITIALIZED";
    case DMLERR_DLL_USAGE:
        return "DMLERR_DLL_USAGE";
    case DMLERR_EXECACKTIMEOUT:
        return "DMLERR_EXECACKTIMEOUT";
    case DMLERR_INVALIDPARAMETER:
        return "DMLERR_INVALIDPARAMETER";
    case DMLERR_LOW_MEMORY:
        return "DMLERR_LOW_MEMORY";
    case DMLERR_MEMORY_ERROR:
        return "DMLERR_MEMORY_ERROR";
    case DMLERR_NOTPROCESSED:
        return "DMLERR_NOTPROCESSED";
    case DMLERR_NO_CONV_ESTABLISHED:
        return "DMLERR_NO_CONV_ESTABLISHED";
    case DMLERR_POKEACKTIMEOUT:
        return "DMLERR_POKEACKTIMEOUT";
    case DMLERR_POSTMSG_FAILED:
        return "DMLERR_POSTMSG_FAILED";
    case DMLERR_REENTRANCY:
        return "DMLERR_REENTRANCY";
    case DMLERR_SERVER_DIED:
        return "DMLERR_SERVER_DIED";
    case DMLERR_SYS_ERROR:
        return "DMLERR_SYS_ERROR";
    case DMLERR_UNADVACKTIMEOUT:
        return "DMLERR_UNADVACKTIMEOUT";
    case DMLERR_UNFOUND_QUEUE_ID:
        return "DMLERR_UNFOUND_QUEUE_ID";
    default:
        return "DDE error " + std::to_string(error);
    }
}

} // namespace velmor::windows
