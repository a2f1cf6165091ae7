// @brief CLSIDFromProgID: program identifiers through the registry.
#include <string>

#include "winport/owners.h"
#include "winport/src/registry/registry_objects.h"

namespace {

// A version-independent identifier points at the current versioned one; a
// chain this long can only be a loop.
constexpr int kMaxCurVerSteps = 8;

}  // namespace

extern "C" HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (!lpszProgID || !lpclsid) {
    return E_INVALIDARG;
  }
  *lpclsid = CLSID_NULL;
  size_t length = 0;
  while (lpszProgID[length]) {
    ++length;
  }
  std::string progId = winport::OleToUtf8(lpszProgID, length);
  if (progId.empty() || progId.find('\\') != std::string::npos) {
    return CO_E_CLASSSTRING;
  }
  for (int step = 0; step < kMaxCurVerSteps; ++step) {
    const std::string key = "HKEY_CLASSES_ROOT\\" + progId;
    std::string clsid;
    if (winport::registry::ReadDefaultText(key + "\\CLSID", &clsid)) {
      const std::basic_string<OLECHAR> wide = winport::Utf8ToOle(clsid);
      return SUCCEEDED(CLSIDFromString(wide.c_str(), lpclsid)) ? S_OK : CO_E_CLASSSTRING;
    }
    std::string current;
    if (!winport::registry::ReadDefaultText(key + "\\CurVer", &current) || current.empty() ||
        current.find('\\') != std::string::npos) {
      return CO_E_CLASSSTRING;
    }
    progId = current;
  }
  return CO_E_CLASSSTRING;
}
