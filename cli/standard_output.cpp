// @brief The last check before zvv exits: did its output arrive?
#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace zvv {

bool StandardOutputWritten() {
  std::cout.flush();
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (flushed && std::cout && !std::ferror(stdout)) return true;
  // A write that failed before this flush left no reason behind that can be trusted.
  const std::string reason =
      !flushed && error != 0 ? std::strerror(error) : "the output could not be written";
  std::cerr << "zvv: writing to standard output failed: " << reason << '\n';
  return false;
}

}  // namespace zvv
