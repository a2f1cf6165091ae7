// @brief A dialog template as the resource compiler writes it, read into the
// parts the dialog manager creates windows from.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "winport/api/base.h"

namespace winport::ui {

// A control; the rectangle is in dialog units relative to the dialog's client
// area, and the style carries WS_VISIBLE when the control starts visible.
struct DialogControl {
  int m_id = 0;
  std::string m_className;  // "static", "edit", "button", "msctls_progress32", ...
  std::string m_text;
  short m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
};

struct DialogTemplate {
  std::string m_caption;
  short m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  std::vector<DialogControl> m_controls;
};

// Reads either layout, the plain one or the extended one (which opens with
// version 1 and 0xFFFF). Data cut short gives nullopt.
std::optional<DialogTemplate> ReadDialogTemplate(const unsigned char* data, std::size_t size);

}  // namespace winport::ui
