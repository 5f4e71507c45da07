#pragma once

namespace velmor {

// When standard error is the journal's stream (the program runs as a systemd service), routes Qt's
// messages through a handler that leads each line with its syslog priority, so that the journal files
// it at that priority. Anywhere else Qt's own output stays as it is.
void installJournalOutput();

} // namespace velmor
