// @brief zvv serve: the help in a browser, searched through the component.
#pragma once

#include "cli/options.h"

namespace zvv {

// Starts the component, serves the viewer on 127.0.0.1 (port 0: any free
// one), prints the address and, with --open, opens it in the desktop's
// browser; runs until the process is ended. Returns the exit code.
int RunServe(const Options& options);

}  // namespace zvv
