// @brief What a resource script declares, as the generator understands it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rcgen {

// A resource name or type: a 16-bit id, or a text when m_text is not empty.
struct ResourceName {
  uint16_t m_id = 0;
  std::string m_text;
};

struct StringEntry {
  uint32_t m_id = 0;
  std::string m_text;
};

struct Control {
  int m_id = 0;
  std::string m_className;
  std::string m_text;
  int m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
  uint32_t m_style = 0;
  uint32_t m_exStyle = 0;
};

struct Dialog {
  ResourceName m_name;
  std::string m_caption;
  int m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
  uint32_t m_style = 0;
  uint32_t m_exStyle = 0;
  std::string m_fontFace;
  int m_fontSize = 0;
  std::vector<Control> m_controls;
};

// A resource whose data is a file's bytes (`101 REGISTRY "file.rgs"`).
struct RawEntry {
  ResourceName m_type;
  ResourceName m_name;
  std::vector<unsigned char> m_data;
};

struct Script {
  std::vector<StringEntry> m_strings;
  std::vector<Dialog> m_dialogs;
  std::vector<RawEntry> m_raw;
  std::vector<std::string> m_filesRead;  // every file read, for the build's dependencies
};

// A fault in the script, with where it is.
struct ScriptError {
  std::string m_file;
  int m_line = 0;
  std::string m_message;
};

}  // namespace rcgen
