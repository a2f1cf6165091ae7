// @brief Keys, values and case-blind names of the registry tree.
#include "winport/src/registry/registry_tree.h"

#include <algorithm>

namespace winport::registry {
namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool CaseLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
  });
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Fold(x) == Fold(y); });
}

Value TextValue(std::string_view text) {
  Value value;
  value.m_type = REG_SZ;
  value.m_data.assign(text.begin(), text.end());
  value.m_data.push_back(0);
  return value;
}

std::string ValueText(const Value& value) {
  const auto end = std::find(value.m_data.begin(), value.m_data.end(), BYTE{0});
  return std::string(value.m_data.begin(), end);
}

Key::~Key() {
  std::vector<std::unique_ptr<Key>> pending;
  const auto takeSubkeys = [&pending](Key& key) {
    for (auto& [name, subkey] : key.m_subkeys) {
      pending.push_back(std::move(subkey));
    }
    key.m_subkeys.clear();
  };
  takeSubkeys(*this);
  while (!pending.empty()) {
    std::unique_ptr<Key> key = std::move(pending.back());
    pending.pop_back();
    takeSubkeys(*key);
    // key goes here without subkeys, so its own destructor does not loop.
  }
}

Key* Key::Find(std::string_view name) const {
  auto it = m_subkeys.find(name);
  return it == m_subkeys.end() ? nullptr : it->second.get();
}

Key& Key::Ensure(std::string_view name, bool* created) {
  auto it = m_subkeys.find(name);
  if (created) {
    *created = it == m_subkeys.end();
  }
  if (it == m_subkeys.end()) {
    it = m_subkeys.emplace(std::string(name), std::make_unique<Key>()).first;
  }
  return *it->second;
}

bool Key::Remove(std::string_view name) {
  auto it = m_subkeys.find(name);
  if (it == m_subkeys.end()) {
    return false;
  }
  m_subkeys.erase(it);
  return true;
}

bool SplitPath(std::string_view path, std::vector<std::string>* names) {
  names->clear();
  if (path.empty()) {
    return true;
  }
  size_t start = 0;
  while (true) {
    const size_t end = path.find('\\', start);
    const std::string_view name =
        path.substr(start, end == std::string_view::npos ? end : end - start);
    // A name ends its file line at "]" and may not span lines.
    if (name.empty() || name.size() > kMaxKeyNameLength ||
        name.find_first_of("\r\n]") != std::string_view::npos || names->size() == kMaxKeyDepth) {
      return false;
    }
    names->emplace_back(name);
    if (end == std::string_view::npos) {
      return true;
    }
    start = end + 1;
  }
}

Key* Walk(const Key& root, const std::vector<std::string>& names) {
  // The tree's keys are reached for change through the same walk.
  Key* key = const_cast<Key*>(&root);
  for (const std::string& name : names) {
    key = key->Find(name);
    if (!key) {
      return nullptr;
    }
  }
  return key;
}

Key* Lookup(const Key& top, std::string_view fullPath) {
  std::vector<std::string> names;
  return SplitPath(fullPath, &names) ? Walk(top, names) : nullptr;
}

size_t Depth(const Key& top) {
  size_t deepest = 0;
  std::vector<std::pair<const Key*, size_t>> pending = {{&top, 0}};
  while (!pending.empty()) {
    const auto [key, depth] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, depth);
    for (const auto& [name, subkey] : key->m_subkeys) {
      pending.emplace_back(subkey.get(), depth + 1);
    }
  }
  return deepest;
}

}  // namespace winport::registry
