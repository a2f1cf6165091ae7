// @brief Reading single texts of the registry for activation and type libraries.
#include "winport/owners.h"
#include "winport/src/registry/registry_file.h"
#include "winport/src/registry/registry_objects.h"

namespace winport::registry {

bool ReadDefaultText(const std::string& fullPath, std::string* text, LONG* statusOut) {
  const LONG status = ReadRegistry([&](const Key& top) -> LONG {
    const Key* key = Lookup(top, fullPath);
    if (!key) {
      return ERROR_FILE_NOT_FOUND;
    }
    auto it = key->m_values.find("");
    if (it == key->m_values.end() || it->second.m_type != REG_SZ) {
      return ERROR_FILE_NOT_FOUND;
    }
    *text = ValueText(it->second);
    return ERROR_SUCCESS;
  });
  if (statusOut) {
    *statusOut = status;
  }
  return status == ERROR_SUCCESS;
}

std::string GuidText(REFGUID guid) {
  OLECHAR wide[CHARS_IN_GUID] = {};
  const int n = StringFromGUID2(guid, wide, CHARS_IN_GUID);
  return n > 0 ? OleToUtf8(wide, static_cast<size_t>(n - 1)) : std::string();
}

}  // namespace winport::registry
