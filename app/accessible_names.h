#pragma once

#include "app/form1_controls.h"

#include <QString>

class QLabel;

namespace velmor {

// What a screen reader says of each control. The design's captions are terse ("HV DDE", a bare
// ",O1900"), and a text box borrows its frame's caption, so every control gets a name of its own and,
// where it helps, a description of what it does; nothing visible changes.
void nameForm1Controls(const Form1Controls& controls);

// Sets a label's caption. A label that shows a value (the last command, the last report, ...) is named
// with what it shows and the value, so that the value is read with its meaning: a label's accessible
// name replaces its text.
void setCaption(QLabel& label, const QString& caption);

// The name a screen reader reads for a label that shows `value`; `what` says what the label shows.
[[nodiscard]] QString valueLabelName(const QString& what, const QString& value);

} // namespace velmor
