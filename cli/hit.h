// @brief One search hit as zvv prints it.
#pragma once

#include <string>

namespace zvv {

struct Hit {
  std::string m_score;  // the component's score text, "1" to "100" ("0" for negation-only hits)
  std::string m_title;
  std::string m_key;   // the page's full path, as the component returns it
  std::string m_path;  // the key relative to the help folder
};

}  // namespace zvv
