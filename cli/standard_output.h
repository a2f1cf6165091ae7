// @brief Whether everything zvv printed on standard output reached it.
#pragma once

namespace zvv {

// Flushes standard output and checks that no write to it failed (a full
// disk, a closed pipe). Prints the reason on stderr and returns false when
// one did: output that was cut short must not pass for a complete answer.
bool StandardOutputWritten();

}  // namespace zvv
