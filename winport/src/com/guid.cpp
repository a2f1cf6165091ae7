// GUID text: the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include "winport/win32.h"

namespace {

constexpr int kGuidChars = 38;  // without the terminator

void PutHex(LPOLESTR out, unsigned long value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<OLECHAR>(kDigits[value & 0xF]);
    value >>= 4;
  }
}

bool ReadHex(LPCOLESTR text, int digits, unsigned long* value) {
  unsigned long v = 0;
  for (int i = 0; i < digits; ++i) {
    const OLECHAR c = text[i];
    unsigned d;
    if (c >= u'0' && c <= u'9') {
      d = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      d = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      d = c - u'A' + 10;
    } else {
      return false;
    }
    v = (v << 4) | d;
  }
  *value = v;
  return true;
}

// Parses exactly the braced form, followed by the end of the text.
bool ParseGuid(LPCOLESTR text, GUID* out) {
  if (!text || text[0] != u'{') return false;
  for (int i = 1; i <= kGuidChars; ++i) {
    if (text[i] == 0 && i < kGuidChars) return false;
  }
  if (text[9] != u'-' || text[14] != u'-' || text[19] != u'-' || text[24] != u'-' ||
      text[37] != u'}' || text[38] != 0) {
    return false;
  }
  unsigned long v1, v2, v3;
  if (!ReadHex(text + 1, 8, &v1) || !ReadHex(text + 10, 4, &v2) || !ReadHex(text + 15, 4, &v3)) {
    return false;
  }
  GUID g{static_cast<DWORD>(v1), static_cast<WORD>(v2), static_cast<WORD>(v3), {}};
  static constexpr int kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    unsigned long b;
    if (!ReadHex(text + kByteAt[i], 2, &b)) return false;
    g.Data4[i] = static_cast<BYTE>(b);
  }
  *out = g;
  return true;
}

}  // namespace

extern "C" int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (!lpsz || cchMax < kGuidChars + 1) return 0;
  lpsz[0] = u'{';
  PutHex(lpsz + 1, rguid.Data1, 8);
  lpsz[9] = u'-';
  PutHex(lpsz + 10, rguid.Data2, 4);
  lpsz[14] = u'-';
  PutHex(lpsz + 15, rguid.Data3, 4);
  lpsz[19] = u'-';
  PutHex(lpsz + 20, rguid.Data4[0], 2);
  PutHex(lpsz + 22, rguid.Data4[1], 2);
  lpsz[24] = u'-';
  for (int i = 2; i < 8; ++i) PutHex(lpsz + 25 + 2 * (i - 2), rguid.Data4[i], 2);
  lpsz[37] = u'}';
  lpsz[38] = 0;
  return kGuidChars + 1;
}

extern "C" HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (!pclsid) return E_INVALIDARG;
  // Windows reads a null string as CLSID_NULL.
  if (!lpsz) {
    *pclsid = CLSID_NULL;
    return S_OK;
  }
  return ParseGuid(lpsz, pclsid) ? S_OK : CO_E_CLASSSTRING;
}
