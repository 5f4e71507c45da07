#pragma once

#include <QString>

namespace velmor {

// A caption or log entry as it is drawn: without the explicit bidirectional embeddings, overrides and
// isolates (U+202A to U+202E, U+2066 to U+2069). A value from a tag or a message is shown as one
// paragraph with whatever follows it, and an override left open in it turns all of that around (a
// track time of "00:03" after it reads "30:00"). Without them the text is laid out by its letters
// alone, so right-to-left titles still read right to left. The value itself is never changed.
[[nodiscard]] QString bidiSafeText(const QString& value);

} // namespace velmor
