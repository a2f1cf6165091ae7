// @brief The interrupt handler.
#include "cli/interrupt.h"

#include <csignal>
#include <cstdlib>

namespace zvv {
namespace {

// Only what is safe in a signal handler: the process ends here, without
// running destructors or exit handlers that could wait for the work it cut short.
extern "C" void OnInterrupt(int) { std::_Exit(kExitInterrupted); }

}  // namespace

void EndOnInterrupt() { std::signal(SIGINT, OnInterrupt); }

}  // namespace zvv
