#pragma once

#include <string_view>

namespace max2870 {

// Standard output as the record of a run: a write that fails (a full disk) must show in the
// exit status, never pass in silence. A closed pipe still ends the program quietly (SIGPIPE).

// Writes the text; false once any write has failed.
bool WriteOut(std::string_view text);
// Flushes; false once any write has failed.
bool FlushOut();
// One stderr line naming the failure, "PROGRAM: cannot write the standard output: REASON";
// returns the exit status for it, 1.
int OutputFailed(std::string_view program);

} // namespace max2870
