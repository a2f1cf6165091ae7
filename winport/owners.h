// @brief Scope owners for COM and automation resources: interface references,
// BSTRs, VARIANTs, SAFEARRAYs and locked array data.
//
// Written only in terms of the Windows API, so the same header serves the
// Windows build (real system headers) and the POSIX build (winport). Owners
// never throw: every operation that can fail reports an HRESULT or a null.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "winport/win32.h"

namespace winport {

// Owns one reference to an interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference to p.
  explicit ComPtr(T* p) : m_p(p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
  ComPtr(ComPtr&& other) noexcept : m_p(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) {
    if (this == &other) return *this;
    if (other.m_p) other.m_p->AddRef();
    Reset();
    m_p = other.m_p;
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }

  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  // Releases the current reference and returns the slot for an [out] T**.
  T** Put() {
    Reset();
    return &m_p;
  }
  // The same slot as void** for QueryInterface and CoCreateInstance.
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // Takes over a reference the caller already holds.
  void Attach(T* p) {
    Reset();
    m_p = p;
  }
  // Gives up ownership without releasing.
  T* Detach() {
    T* p = m_p;
    m_p = nullptr;
    return p;
  }
  void Reset() {
    T* p = m_p;
    m_p = nullptr;
    if (p) p->Release();
  }
  // Hands out a new reference (E_POINTER for a null destination).
  HRESULT CopyTo(T** pp) const {
    if (!pp) return E_POINTER;
    *pp = m_p;
    if (m_p) m_p->AddRef();
    return S_OK;
  }
  // QueryInterface into another owner; the IID names the interface U.
  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const {
    if (!out) return E_POINTER;
    if (!m_p) {
      out->Reset();
      return E_POINTER;
    }
    return m_p->QueryInterface(iid, out->PutVoid());
  }

 private:
  T* m_p = nullptr;
};

// UTF-8 to UTF-16 through the platform's own conversion, so malformed input
// becomes U+FFFD once per malformed piece, as in every other conversion.
inline std::basic_string<OLECHAR> Utf8ToOle(std::string_view text) {
  std::basic_string<OLECHAR> out;
  if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
    return out;
  }
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return out;
  out.resize(static_cast<size_t>(needed));
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), needed);
  return out;
}

// UTF-16 to UTF-8 through the platform's own conversion; an unpaired surrogate
// becomes U+FFFD.
inline std::string OleToUtf8(const OLECHAR* text, size_t length) {
  std::string out;
  if (text == nullptr || length == 0 ||
      length > static_cast<size_t>(std::numeric_limits<int>::max())) {
    return out;
  }
  const int units = static_cast<int>(length);
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return out;
  out.resize(static_cast<size_t>(needed));
  WideCharToMultiByte(CP_UTF8, 0, text, units, out.data(), needed, nullptr, nullptr);
  return out;
}

// Owns one BSTR. Not copyable; Copy() makes a deep copy explicitly.
class Bstr {
 public:
  Bstr() = default;
  // Copies NUL-terminated wide text; a null pointer gives a null BSTR.
  explicit Bstr(const OLECHAR* text) : m_s(text ? SysAllocString(text) : nullptr) {}
  // Copies length characters, embedded NULs included.
  Bstr(const OLECHAR* text, UINT length) : m_s(SysAllocStringLen(text, length)) {}
  // Converts UTF-8 text.
  static Bstr FromUtf8(std::string_view text) {
    const std::basic_string<OLECHAR> wide = Utf8ToOle(text);
    return Bstr(wide.data(), static_cast<UINT>(wide.size()));
  }
  // Takes over a BSTR the caller owns.
  static Bstr Attaching(BSTR s) {
    Bstr b;
    b.m_s = s;
    return b;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : m_s(other.Detach()) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  ~Bstr() { Reset(); }

  BSTR Get() const { return m_s; }
  // Frees the current string and returns the slot for an [out] BSTR*.
  BSTR* Put() {
    Reset();
    return &m_s;
  }
  void Attach(BSTR s) {
    Reset();
    m_s = s;
  }
  BSTR Detach() {
    BSTR s = m_s;
    m_s = nullptr;
    return s;
  }
  void Reset() {
    BSTR s = m_s;
    m_s = nullptr;
    if (s) SysFreeString(s);
  }
  // A deep copy; a null string copies to null.
  Bstr Copy() const { return m_s ? Bstr(m_s, SysStringLen(m_s)) : Bstr(); }
  // Characters, not counting the terminator; 0 for a null string.
  UINT Length() const { return SysStringLen(m_s); }
  bool IsNull() const { return m_s == nullptr; }
  std::string ToUtf8() const { return m_s ? OleToUtf8(m_s, SysStringLen(m_s)) : std::string(); }

 private:
  BSTR m_s = nullptr;
};

// Owns one VARIANT; VariantClear when it goes out of scope.
class Variant {
 public:
  Variant() { VariantInit(&m_v); }
  explicit Variant(LONG value) : Variant() {
    V_VT(&m_v) = VT_I4;
    V_I4(&m_v) = value;
  }
  // Takes the string over from the owner.
  explicit Variant(Bstr&& text) : Variant() {
    V_VT(&m_v) = VT_BSTR;
    V_BSTR(&m_v) = text.Detach();
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept {
    m_v = other.m_v;
    VariantInit(&other.m_v);
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(&m_v);
      m_v = other.m_v;
      VariantInit(&other.m_v);
    }
    return *this;
  }
  ~Variant() { VariantClear(&m_v); }

  VARIANT* Get() { return &m_v; }
  const VARIANT* Get() const { return &m_v; }
  VARIANT* operator->() { return &m_v; }
  // Clears the current value and returns the VARIANT for an [out] VARIANT*.
  VARIANT* Put() {
    VariantClear(&m_v);
    return &m_v;
  }
  HRESULT Clear() { return VariantClear(&m_v); }
  // Deep copy into this owner. (Some SDK headers declare the source without
  // const; the copy never writes to it.)
  HRESULT CopyFrom(const VARIANT* source) {
    return VariantCopy(&m_v, const_cast<VARIANT*>(source));
  }
  // Moves the value into *dest (which must be cleared or fresh) and leaves
  // this owner empty.
  HRESULT Detach(VARIANT* dest) {
    if (!dest) return E_POINTER;
    *dest = m_v;
    VariantInit(&m_v);
    return S_OK;
  }

 private:
  VARIANT m_v;
};

// Owns one SAFEARRAY*; SafeArrayDestroy when it goes out of scope.
class SafeArray {
 public:
  SafeArray() = default;
  // Takes over an array the caller owns.
  explicit SafeArray(SAFEARRAY* psa) : m_psa(psa) {}
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  SafeArray(SafeArray&& other) noexcept : m_psa(other.Detach()) {}
  SafeArray& operator=(SafeArray&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  ~SafeArray() { Reset(); }

  static SafeArray Vector(VARTYPE vt, LONG lowerBound, ULONG count) {
    return SafeArray(SafeArrayCreateVector(vt, lowerBound, count));
  }

  SAFEARRAY* Get() const { return m_psa; }
  explicit operator bool() const { return m_psa != nullptr; }
  SAFEARRAY** Put() {
    Reset();
    return &m_psa;
  }
  void Attach(SAFEARRAY* psa) {
    Reset();
    m_psa = psa;
  }
  SAFEARRAY* Detach() {
    SAFEARRAY* psa = m_psa;
    m_psa = nullptr;
    return psa;
  }
  // Destroys the array; a locked array cannot be destroyed and is reported.
  HRESULT Reset() {
    SAFEARRAY* psa = m_psa;
    m_psa = nullptr;
    return psa ? SafeArrayDestroy(psa) : S_OK;
  }

 private:
  SAFEARRAY* m_psa = nullptr;
};

// Holds SafeArrayAccessData for one scope. Check Status() before Data().
template <class T>
class SafeArrayDataLock {
 public:
  explicit SafeArrayDataLock(SAFEARRAY* psa) : m_psa(psa) {
    void* data = nullptr;
    m_hr = psa ? SafeArrayAccessData(psa, &data) : E_INVALIDARG;
    if (SUCCEEDED(m_hr)) m_data = static_cast<T*>(data);
  }
  SafeArrayDataLock(const SafeArrayDataLock&) = delete;
  SafeArrayDataLock& operator=(const SafeArrayDataLock&) = delete;
  ~SafeArrayDataLock() {
    if (SUCCEEDED(m_hr)) SafeArrayUnaccessData(m_psa);
  }

  HRESULT Status() const { return m_hr; }
  T* Data() const { return m_data; }

 private:
  SAFEARRAY* m_psa;
  T* m_data = nullptr;
  HRESULT m_hr;
};

}  // namespace winport
