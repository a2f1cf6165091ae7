// @brief Ctrl-C ends zvv with the status that shells give an interrupted command.
#pragma once

namespace zvv {

inline constexpr int kExitInterrupted = 130;

// From now on an interrupt (Ctrl-C) ends zvv at once with kExitInterrupted.
// Nothing is left half-written: the engine commits its work in transactions,
// so the index keeps its last committed state, and the progress display puts
// the terminal back (its mode, the cursor, its lines erased) before this runs.
void EndOnInterrupt();

}  // namespace zvv
