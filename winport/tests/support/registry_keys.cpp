// @brief The test view of HKEY_CLASSES_ROOT in the registry file.
#include "winport/tests/support/registry_keys.h"

#include <vector>

#include "winport/src/registry/registry_file.h"

namespace winport_test {
namespace {

using winport::registry::Key;

constexpr char kRoot[] = "HKEY_CLASSES_ROOT";

std::string FullPath(const std::string& path) {
  return path.empty() ? kRoot : std::string(kRoot) + "\\" + path;
}

}  // namespace

bool KeyExists(const std::string& path) {
  const std::string fullPath = FullPath(path);
  return winport::registry::ReadRegistry([&](const Key& top) -> LONG {
           return winport::registry::Lookup(top, fullPath) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
         }) == ERROR_SUCCESS;
}

std::string KeyText(const std::string& path, const std::string& name) {
  const std::string fullPath = FullPath(path);
  std::string text;
  const LONG status = winport::registry::ReadRegistry([&](const Key& top) -> LONG {
    const Key* key = winport::registry::Lookup(top, fullPath);
    if (!key) {
      return ERROR_FILE_NOT_FOUND;
    }
    const auto value = key->m_values.find(name);
    if (value == key->m_values.end() || value->second.m_type != REG_SZ) {
      return ERROR_FILE_NOT_FOUND;
    }
    text = winport::registry::ValueText(value->second);
    return ERROR_SUCCESS;
  });
  return status == ERROR_SUCCESS ? text : "<missing>";
}

bool PutKey(const std::string& path, const std::optional<std::string>& text) {
  std::vector<std::string> names;
  if (!winport::registry::SplitPath(FullPath(path), &names)) {
    return false;
  }
  return winport::registry::ChangeRegistry([&](Key& top, bool* modified) -> LONG {
           Key* key = &top;
           for (const std::string& name : names) {
             key = &key->Ensure(name);
           }
           if (text) {
             key->m_values[""] = winport::registry::TextValue(*text);
           }
           *modified = true;
           return ERROR_SUCCESS;
         }) == ERROR_SUCCESS;
}

}  // namespace winport_test
