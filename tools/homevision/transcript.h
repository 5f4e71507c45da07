#pragma once

#include <QString>

#include <cstdio>

namespace velmor::homevision {

// What the stand-in tells the person (or program) watching it: every call it received and every value
// it sent, one line each on standard output, written at once. As JSON, each line is one object:
// {"time":"2024-05-01T20:15:02.123Z","direction":"received","call":"Poke","item":"DDECommand","value":",O1900"}
// with "direction" either "received" (a call: Initiate, Advise, Poke, Request) or "sent" (the
// "ItemChanged" signal); "item" and "value" are left out where the call has none.
class Transcript {
public:
    enum class Format { Text, Json };

    explicit Transcript(Format format, std::FILE* out = stdout);

    void received(const QString& call, const QString& item, const QString& value);
    void sent(const QString& item, const QString& value);

private:
    void write(const QString& direction, const QString& call, const QString& item, const QString& value);

    Format m_format;
    std::FILE* m_out;
};

} // namespace velmor::homevision
