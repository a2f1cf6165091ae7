// @brief FindResourceA and friends over the raw resources of a module.
//
// An HRSRC and the HGLOBAL that LoadResource returns are both the address of
// the registered entry; the data itself stays in the module's embedded
// resource file, so nothing is ever allocated or freed.
#include "winport/api/errors.h"
#include "winport/api/resources.h"
#include "winport/src/ui/resource_registry.h"

namespace {

const winport::ui::ResourceEntry* AsEntry(const void* handle) {
  return static_cast<const winport::ui::ResourceEntry*>(handle);
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  if (lpName == nullptr || lpType == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool typeFound = false;
  const winport::ui::ResourceEntry* entry = winport::ui::FindResourceEntry(
      winport::ui::ResolveModule(hModule), lpType, lpName, &typeFound);
  if (entry == nullptr) {
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<winport::ui::ResourceEntry*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  if (hResInfo == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return hResInfo;
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
  if (hResData == nullptr) return nullptr;
  return const_cast<unsigned char*>(AsEntry(hResData)->m_data);
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  if (hResInfo == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return AsEntry(hResInfo)->m_size;
}
