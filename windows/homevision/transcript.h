#pragma once

#include <cstdio>
#include <string>

namespace velmor::homevision {

// What the stand-in tells whoever watches it, line for line as velmor-homevision does: every call it
// received and every value it sent, one line each on standard output, written at once. As JSON, each
// line is one object with "time", "direction" ("received" or "sent"), "call" (Initiate, Advise, Poke,
// Request; ItemChanged when sent), and "item" and "value" where the call has them.
class Transcript {
public:
    Transcript(bool json, std::FILE* out);

    void received(const std::string& call, const std::string& item, const std::string& value);
    void sent(const std::string& item, const std::string& value);

private:
    void write(const std::string& direction, const std::string& call, const std::string& item,
               const std::string& value);

    bool m_json;
    std::FILE* m_out;
};

// A JSON string as Qt writes it: quoted, with quotes, backslashes and control characters escaped.
[[nodiscard]] std::string jsonString(const std::string& utf8);

} // namespace velmor::homevision
