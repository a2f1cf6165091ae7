// @brief What the viewer's footer and folder filter show about the help.
#pragma once

#include <string>

#include "cli/serve/search_service.h"

namespace zvv {

// The status of the help of an application folder, read from the index's
// own record and the Help folder: the component is not asked.
IndexStatus ReadIndexStatus(const std::string& installDir, const std::string& helpDir);

}  // namespace zvv
