// @brief The registry's contents in memory: keys, their values and subkeys.
//
// The whole tree is read from the registry file, changed and written back in
// one locked step (see registry_file.h). Names compare without regard to case
// (ASCII letters, as Windows folds them for these names) and keep the case
// they were first created with.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "winport/win32.h"

namespace winport::registry {

// Keys nest at most this deep (the root key counts as one level) and a key's
// name is at most this long, as on Windows. A file beyond either is damaged:
// it would take the reader's and the writer's time and memory without bound.
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxKeyNameLength = 255;

struct CaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

bool SameName(std::string_view a, std::string_view b);

struct Value {
  DWORD m_type = REG_SZ;
  std::vector<BYTE> m_data;
};

// A REG_SZ value's bytes: the text and its terminator.
Value TextValue(std::string_view text);
// The text of a REG_SZ value, up to its first NUL.
std::string ValueText(const Value& value);

struct Key {
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  // Tears the keys below down one at a time: a chain of keys as deep as a
  // file can make must not take one stack frame per level.
  ~Key();

  // The default value has the empty name.
  std::map<std::string, Value, CaseLess> m_values;
  std::map<std::string, std::unique_ptr<Key>, CaseLess> m_subkeys;

  // The subkey with that name, or null.
  Key* Find(std::string_view name) const;
  // The subkey, created when missing; created tells which.
  Key& Ensure(std::string_view name, bool* created = nullptr);
  // Removes the subkey with everything below it; false when there was none.
  bool Remove(std::string_view name);
};

// Splits "a\b\c" into its names; false for an empty name between separators,
// a name that a registry file line could not hold, a name longer than
// kMaxKeyNameLength or more than kMaxKeyDepth names.
bool SplitPath(std::string_view path, std::vector<std::string>* names);

// The key at the path below root (each name one level), or null.
Key* Walk(const Key& root, const std::vector<std::string>& names);
// The key at a full path such as "HKEY_CLASSES_ROOT\\CLSID" below top, or null.
Key* Lookup(const Key& top, std::string_view fullPath);

// How many levels of keys lie below top (0 for a key without subkeys).
size_t Depth(const Key& top);

}  // namespace winport::registry
