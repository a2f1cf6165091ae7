// @brief Which requests the help server answers at all.
#pragma once

#include <string_view>

namespace zvv {

// The Host header names the loopback address the server listens on
// ("127.0.0.1:<port>" or "localhost:<port>", as browsers write them): a page
// of another site whose name a rebinding DNS server points at 127.0.0.1 sends
// its own name and is refused.
bool IsOwnHost(std::string_view host, int port);

// The server only reads: GET and HEAD.
bool IsReadMethod(std::string_view method);

}  // namespace zvv
