// @brief The Host and method checks made before any route.
#include "cli/serve/request_guard.h"

#include <string>

namespace zvv {

bool IsOwnHost(std::string_view host, int port) {
  // Browsers send the host of the address in lower case, as URLs normalise it.
  const std::string suffix = ":" + std::to_string(port);
  return host == "127.0.0.1" + suffix || host == "localhost" + suffix;
}

bool IsReadMethod(std::string_view method) { return method == "GET" || method == "HEAD"; }

}  // namespace zvv
