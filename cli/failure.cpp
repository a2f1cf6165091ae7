// @brief Texts for the HRESULTs that reach zvv.
#include "cli/failure.h"

#include <charconv>
#include <cstdio>
#include <iostream>

#include "winport/owners.h"

namespace zvv {
namespace {

// How the component's description of a query it could not read begins; the column follows.
constexpr std::string_view kQueryErrorAt = "query error at column ";

// What a failure of zvv's own operations means to someone searching help,
// where the platform's text for the code would say less.
const char* SearchMeaning(HRESULT hr) {
  if (hr == E_FAIL) return "the help index could not be opened or searched";
  if (hr == E_INVALIDARG) return "an argument was refused (the query or the folder list)";
  return nullptr;
}

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

// The file a registry failure is about, so that it can be mended or removed.
std::string RegistryFileNamed(HRESULT hr) {
  if (hr != REGDB_E_READREGDB && hr != HRESULT_FROM_WIN32(ERROR_BADDB)) return {};
  std::string path(MAX_PATH, '\0');
  DWORD length = WinportGetRegistryFileA(path.data(), static_cast<DWORD>(path.size()));
  if (length >= path.size()) {
    path.resize(length);
    length = WinportGetRegistryFileA(path.data(), static_cast<DWORD>(path.size()));
  }
  path.resize(length < path.size() ? length : 0);
  return path.empty() ? path : ": " + path;
}

}  // namespace

std::string DescribeHresult(HRESULT hr) {
  if (const WinportHresultText* known = WinportFindHresult(hr)) {
    const char* meaning = SearchMeaning(hr);
    return Hex(hr) + " " + known->name + ": " + (meaning ? meaning : known->text) +
           RegistryFileNamed(hr);
  }
  std::string text = SystemText(hr);
  return text.empty() ? Hex(hr) : Hex(hr) + ": " + text;
}

int ReportFailure(const std::string& what, HRESULT hr) {
  std::cerr << "zvv: " << what << " failed: " << DescribeHresult(hr) << '\n';
  return kExitFailure;
}

std::string ComponentErrorText() {
  winport::ComPtr<IErrorInfo> info;
  winport::Bstr description;
  if (GetErrorInfo(0, info.Put()) != S_OK || !info ||
      FAILED(info->GetDescription(description.Put()))) {
    return {};
  }
  return description.ToUtf8();
}

std::size_t QueryErrorColumn(const std::string& text) {
  if (text.rfind(kQueryErrorAt, 0) != 0) return 0;
  std::size_t column = 0;
  std::from_chars(text.data() + kQueryErrorAt.size(), text.data() + text.size(), column);
  return column;
}

std::string ComponentFailureMessage(const std::string& what, HRESULT hr, const std::string& text) {
  // A query the component could not read is the user's to fix: its account
  // is the whole message, with nothing that points at the index.
  if (QueryErrorColumn(text) > 0) return text;
  std::string message = what + " failed: " + DescribeHresult(hr);
  if (!text.empty()) message += ": " + text;
  return message;
}

int ReportComponentFailure(const std::string& what, HRESULT hr) {
  std::cerr << "zvv: " << ComponentFailureMessage(what, hr, ComponentErrorText()) << '\n';
  return kExitFailure;
}

}  // namespace zvv
