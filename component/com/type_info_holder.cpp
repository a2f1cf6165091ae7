// @brief The shared type-information holder.
#include "component/com/type_info_holder.h"

#include <mutex>

namespace {

// The holder is reached from every apartment that owns a component object.
std::mutex g_lock;
ITypeInfo* g_pTypeInfo = nullptr;
LONG g_nUsers = 0;
TypeInfoSource g_source = &StaticViveviVadiroTypeInfo;

void ReleaseCachedLocked() {
  if (g_pTypeInfo) {
    g_pTypeInfo->Release();
  }
  g_pTypeInfo = nullptr;
}

}  // namespace

void AddTypeInfoUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  ++g_nUsers;
}

void RemoveTypeInfoUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_nUsers > 0 && --g_nUsers == 0) {
    ReleaseCachedLocked();
  }
}

HRESULT GetViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo) {
  if (!ppTInfo) {
    return E_POINTER;
  }
  *ppTInfo = nullptr;
  std::lock_guard<std::mutex> guard(g_lock);
  if (!g_pTypeInfo) {
    HRESULT hr = g_source(lcid, &g_pTypeInfo);
    if (FAILED(hr) || !g_pTypeInfo) {
      g_pTypeInfo = nullptr;
      return FAILED(hr) ? hr : E_FAIL;
    }
  }
  g_pTypeInfo->AddRef();
  *ppTInfo = g_pTypeInfo;
  return S_OK;
}

TypeInfoSource ReplaceTypeInfoSource(TypeInfoSource source) {
  std::lock_guard<std::mutex> guard(g_lock);
  TypeInfoSource previous = g_source;
  g_source = source;
  ReleaseCachedLocked();
  return previous;
}
