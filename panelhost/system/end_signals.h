// SIGINT and SIGTERM, the ways a person or a supervisor ends the bench: the first is noted, so
// that the bench ends in order (the gauges killed, the trace written out to its last whole line);
// a second ends the process at once, for a gauge that never returns.
#pragma once

namespace panelhost {

// From now on the first SIGINT or SIGTERM is noted rather than ending the process.
void catch_end_signals();
// The signal noted since, 0 for none.
int end_signal();
// Both signals back to what they do by default.
void release_end_signals();

}  // namespace panelhost
