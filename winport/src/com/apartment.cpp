// Per-thread initialisation of the object runtime.
//
// Divergence: no apartment machinery stands behind the count. Objects are
// called directly on whatever thread holds them, and creating an object does
// not require CoInitialize; the count and the model only give callers the
// results Windows gives (S_OK, S_FALSE, RPC_E_CHANGED_MODE).

#include "winport/win32.h"

namespace {

struct ThreadApartment {
  ULONG count = 0;
  bool apartmentThreaded = false;
};

thread_local ThreadApartment t_apartment;

constexpr DWORD kKnownFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

}  // namespace

extern "C" HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
  if (pvReserved || (dwCoInit & ~kKnownFlags) != 0) return E_INVALIDARG;
  const bool sta = (dwCoInit & COINIT_APARTMENTTHREADED) != 0;
  ThreadApartment& a = t_apartment;
  if (a.count == 0) {
    a.count = 1;
    a.apartmentThreaded = sta;
    return S_OK;
  }
  if (a.apartmentThreaded != sta) return RPC_E_CHANGED_MODE;
  ++a.count;
  return S_FALSE;
}

extern "C" HRESULT CoInitialize(LPVOID pvReserved) {
  return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

// An unbalanced call is ignored, as on Windows.
extern "C" void CoUninitialize() {
  ThreadApartment& a = t_apartment;
  if (a.count > 0) --a.count;
}
