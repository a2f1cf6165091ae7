// @brief Writing and reading the .reg text of the registry file.
#include "winport/src/registry/registry_text.h"

#include <cstdio>
#include <vector>

namespace winport::registry {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

bool IsPlainText(const Value& value) {
  if (value.m_type != REG_SZ || value.m_data.empty() || value.m_data.back() != 0) {
    return false;
  }
  for (size_t i = 0; i + 1 < value.m_data.size(); ++i) {
    const BYTE c = value.m_data[i];
    if (c == 0 || c == '\r' || c == '\n') {
      return false;
    }
  }
  return true;
}

void AppendQuoted(std::string_view text, std::string* out) {
  out->push_back('"');
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out->push_back('\\');
    }
    out->push_back(c);
  }
  out->push_back('"');
}

void AppendValue(const Value& value, std::string* out) {
  char buffer[16];
  if (IsPlainText(value)) {
    AppendQuoted(ValueText(value), out);
  } else if (value.m_type == REG_DWORD && value.m_data.size() == 4) {
    const DWORD n = value.m_data[0] | (value.m_data[1] << 8) | (value.m_data[2] << 16) |
                    (static_cast<DWORD>(value.m_data[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", n);
    out->append(buffer);
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.m_type);
    out->append(buffer);
    for (size_t i = 0; i < value.m_data.size(); ++i) {
      std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", value.m_data[i]);
      out->append(buffer);
    }
  }
}

void AppendSection(const std::string& path, const Key& key, std::string* out) {
  out->append("\n[").append(path).append("]\n");
  for (const auto& [name, value] : key.m_values) {
    if (name.empty()) {
      out->push_back('@');
    } else {
      AppendQuoted(name, out);
    }
    out->push_back('=');
    AppendValue(value, out);
    out->push_back('\n');
  }
}

// Reads a quoted text at text[*at] (the opening quote), leaving *at after
// the closing quote.
bool ReadQuoted(std::string_view text, size_t* at, std::string* out) {
  if (*at >= text.size() || text[*at] != '"') {
    return false;
  }
  out->clear();
  for (size_t i = *at + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      *at = i + 1;
      return true;
    }
    if (c == '\\') {
      if (++i == text.size()) {
        return false;
      }
      c = text[i];
    }
    out->push_back(c);
  }
  return false;
}

bool ReadHexNumber(std::string_view text, unsigned long max, unsigned long* out) {
  if (text.empty() || text.size() > 8) {
    return false;
  }
  unsigned long n = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    n = n * 16 + digit;
  }
  if (n > max) {
    return false;
  }
  *out = n;
  return true;
}

bool ReadValueData(std::string_view text, Value* value) {
  unsigned long n = 0;
  if (!text.empty() && text[0] == '"') {
    size_t at = 0;
    std::string content;
    if (!ReadQuoted(text, &at, &content) || at != text.size()) {
      return false;
    }
    *value = TextValue(content);
    return true;
  }
  if (text.substr(0, 6) == "dword:") {
    if (!ReadHexNumber(text.substr(6), 0xFFFFFFFFul, &n)) {
      return false;
    }
    value->m_type = REG_DWORD;
    value->m_data = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
                     static_cast<BYTE>(n >> 24)};
    return true;
  }
  value->m_type = REG_BINARY;
  if (text.substr(0, 4) == "hex(") {
    const size_t close = text.find("):");
    if (close == std::string_view::npos || !ReadHexNumber(text.substr(4, close - 4), ~0ul, &n)) {
      return false;
    }
    value->m_type = static_cast<DWORD>(n);
    text.remove_prefix(close + 2);
  } else if (text.substr(0, 4) == "hex:") {
    text.remove_prefix(4);
  } else {
    return false;
  }
  value->m_data.clear();
  while (!text.empty()) {
    const size_t comma = text.find(',');
    if (!ReadHexNumber(text.substr(0, comma), 0xFF, &n)) {
      return false;
    }
    value->m_data.push_back(static_cast<BYTE>(n));
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
    if (text.empty()) {
      return false;
    }
  }
  return true;
}

bool ReadValueLine(std::string_view line, Key* key) {
  std::string name;
  size_t at = 0;
  if (line[0] == '@') {
    at = 1;
  } else if (!ReadQuoted(line, &at, &name)) {
    return false;
  }
  if (at >= line.size() || line[at] != '=') {
    return false;
  }
  Value value;
  if (!ReadValueData(line.substr(at + 1), &value)) {
    return false;
  }
  key->m_values[name] = std::move(value);
  return true;
}

}  // namespace

std::string WriteRegText(const Key& top) {
  std::string out(kHeader);
  out.push_back('\n');
  // Keys in order, each section after its parent's, walked with a stack of
  // levels and one path that grows and shrinks by a name: no copy of a path
  // per key and no stack frame per level.
  struct Level {
    const Key* m_key;
    decltype(top.m_subkeys.begin()) m_next;
    size_t m_pathSize;
  };
  std::string path;
  std::vector<Level> levels = {{&top, top.m_subkeys.begin(), 0}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.m_next == level.m_key->m_subkeys.end()) {
      levels.pop_back();
      continue;
    }
    const auto& [name, subkey] = *level.m_next++;
    path.resize(level.m_pathSize);
    if (!path.empty()) {
      path.push_back('\\');
    }
    path += name;
    AppendSection(path, *subkey, &out);
    levels.push_back({subkey.get(), subkey->m_subkeys.begin(), path.size()});
  }
  return out;
}

bool ReadRegText(std::string_view text, Key* top) {
  Key* section = nullptr;
  bool headerSeen = false;
  std::vector<std::string> names;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (line.empty() || line[0] == ';') {
      continue;
    }
    if (!headerSeen) {
      if (line != kHeader) {
        return false;
      }
      headerSeen = true;
      continue;
    }
    if (line[0] == '[') {
      if (line.back() != ']' || !SplitPath(line.substr(1, line.size() - 2), &names) ||
          names.empty()) {
        return false;
      }
      section = top;
      for (const std::string& name : names) {
        section = &section->Ensure(name);
      }
      continue;
    }
    if (!section || !ReadValueLine(line, section)) {
      return false;
    }
  }
  return headerSeen || top->m_subkeys.empty();
}

}  // namespace winport::registry
