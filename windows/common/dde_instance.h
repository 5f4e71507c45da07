#pragma once

#include <windows.h>

#include <ddeml.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmor::windows {

// One DDEML transaction as the callback received it.
struct DdeTransaction {
    UINT type;
    UINT format;
    HCONV conversation;
    HSZ first;
    HSZ second;
    HDDEDATA data;
    ULONG_PTR data1;
    ULONG_PTR data2;
};

// Whoever answers the DDEML callback of this thread's instance.
class DdeHandler {
public:
    virtual HDDEDATA onTransaction(const DdeTransaction& transaction) = 0;

protected:
    ~DdeHandler() = default;
};

// DDEML could not be set up or would not serve the name; what() says why.
class DdeFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A DDEML string handle, freed with its instance's DdeFreeStringHandle.
class DdeString {
public:
    DdeString(DWORD instance, HSZ handle)
        : m_instance(instance)
        , m_handle(handle) {}
    ~DdeString();
    DdeString(DdeString&& other) noexcept;
    DdeString& operator=(DdeString&&) = delete;
    DdeString(const DdeString&) = delete;
    DdeString& operator=(const DdeString&) = delete;

    [[nodiscard]] HSZ get() const { return m_handle; }
    // DDE names compare without regard to case.
    [[nodiscard]] bool names(HSZ other) const { return DdeCmpStringHandles(m_handle, other) == 0; }

private:
    DWORD m_instance;
    HSZ m_handle;
};

// DDEML for the thread that makes it: the callback, every transaction and every handle stay on that
// thread, whose message loop DDEML needs. One per thread; the callback goes to the handler given.
class DdeInstance {
public:
    // APPCMD_CLIENTONLY for a client, APPCLASS_STANDARD for a server, plus CBF_ filters. Throws
    // DdeFailure.
    DdeInstance(DdeHandler& handler, DWORD flags);
    ~DdeInstance();
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;

    [[nodiscard]] DWORD id() const { return m_id; }
    [[nodiscard]] DdeString string(std::string_view utf8) const;
    [[nodiscard]] std::string text(HSZ handle) const;
    // The DMLERR_ code of the last failure, by name.
    [[nodiscard]] std::string lastError() const;

    // CF_TEXT data for the item, which DDEML frees once it has handed it over.
    [[nodiscard]] HDDEDATA textData(std::string_view bytes, HSZ item) const;
    // The bytes of CF_TEXT data up to its terminating NUL.
    [[nodiscard]] static std::string bytesOf(HDDEDATA data);

private:
    DWORD m_id = 0;
};

// What a DDEML callback answers in place of a data handle: TRUE or FALSE, or DDE_FACK and its kin.
[[nodiscard]] inline HDDEDATA ddeAnswer(ULONG_PTR flags) {
    return reinterpret_cast<HDDEDATA>(flags); // NOLINT(performance-no-int-to-ptr): DDEML's convention
}

// DMLERR_NOTPROCESSED and the like, for log lines.
[[nodiscard]] std::string ddeErrorName(UINT error);

} // namespace velmor::windows
