#pragma once

#include <QString>

#include <functional>

namespace velmor {

// Shortens an input for a one-line report: very long messages would otherwise flood stderr. Control
// characters are shown as their Unicode pictures (a line feed as U+240A), so the report keeps to one line.
[[nodiscard]] QString shortenedForReport(const QString& input, qsizetype limit = 80);

// The dispatch boundary of every event handler: an error that escapes the handler ends that handling
// and is reported as one line on stderr; the program runs on. Returns false when the handling ended
// that way.
bool runHandler(const char* handling, const QString& input, const std::function<void()>& handler);

} // namespace velmor
