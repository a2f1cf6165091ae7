// @brief zvv's commands; each returns the process exit code.
#pragma once

#include "cli/options.h"

namespace zvv {

int RunSearch(const Options& options);
int RunIndex(const Options& options);
int RunStatus(const Options& options);
int RunWatch(const Options& options);
int RunRegistration(Command command);
int RunVersion();

}  // namespace zvv
