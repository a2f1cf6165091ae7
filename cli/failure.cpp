// @brief Texts for the HRESULTs that reach zvv.
#include "cli/failure.h"

#include <cstdio>
#include <iostream>

namespace zvv {
namespace {

struct KnownCode {
  HRESULT m_code;
  const char* m_name;
  const char* m_meaning;
};

// What each code means to someone searching help, not to the COM runtime.
constexpr KnownCode kKnownCodes[] = {
    {E_FAIL, "E_FAIL", "the help index could not be opened or searched"},
    {E_INVALIDARG, "E_INVALIDARG", "an argument was refused (the query or the folder list)"},
    {E_NOTIMPL, "E_NOTIMPL", "the operation is not provided"},
    {E_POINTER, "E_POINTER", "a required pointer was missing"},
    {E_NOINTERFACE, "E_NOINTERFACE", "the object does not offer the interface asked for"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "out of memory"},
    {E_UNEXPECTED, "E_UNEXPECTED", "unexpected failure"},
    {E_ACCESSDENIED, "E_ACCESSDENIED", "access denied"},
    {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG", "the component is not registered"},
    {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE",
     "the module does not provide the component"},
    {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION", "the component cannot be aggregated"},
    {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED", "the component runtime is not initialized"},
    {CO_E_DLLNOTFOUND, "CO_E_DLLNOTFOUND", "the component module was not found"},
    {CO_E_ERRORINDLL, "CO_E_ERRORINDLL", "the component module could not be loaded"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH", "a value has the wrong type"},
};

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

std::string SystemText(HRESULT hr) {
  LPSTR buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = length > 0 && buffer ? std::string(buffer, length) : std::string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string DescribeHresult(HRESULT hr) {
  for (const KnownCode& known : kKnownCodes) {
    if (known.m_code == hr) return Hex(hr) + " " + known.m_name + ": " + known.m_meaning;
  }
  std::string text = SystemText(hr);
  return text.empty() ? Hex(hr) : Hex(hr) + ": " + text;
}

int ReportFailure(const std::string& what, HRESULT hr) {
  std::cerr << "zvv: " << what << " failed: " << DescribeHresult(hr) << '\n';
  return kExitFailure;
}

}  // namespace zvv
