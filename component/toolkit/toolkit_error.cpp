// @brief Wording of toolkit and system failures.
#include "component/toolkit/toolkit_error.h"

#include <sstream>

#include "component/search/text_conversion.h"
#include "component/toolkit/toolkit_table.h"

std::string ToolkitFailureText(const char* sFixedText, int32_t nReturn) {
  std::ostringstream text;
  text << sFixedText << static_cast<int>(ToolkitStatus(nReturn));
  return text.str();
}

ToolkitError ToolkitFailure(const char* sFixedText, int32_t nReturn, TkSession hSession) {
  std::string sMessage = ToolkitFailureText(sFixedText, nReturn);
  TkErrorInfo info = dizode::MakeRecord<TkErrorInfo>();
  const auto getLastError = Toolkit().TkGetLastError;
  if (hSession == 0 || !getLastError || ToolkitFailed(getLastError(hSession, &info))) {
    return ToolkitError(sMessage, ToolkitStatus(nReturn));
  }
  info.text[sizeof info.text - 1] = '\0';
  const std::string sText = info.text;
  if (info.column > 0) {
    std::ostringstream text;
    text << "query error at column " << info.column << ": " << sText;
    sMessage = text.str();
  } else if (!sText.empty()) {
    sMessage += ": " + sText;
  }
  return ToolkitError(sMessage, ToolkitStatus(nReturn), info.column);
}

void ThrowToolkitFailure(const char* sFixedText, int32_t nReturn, TkSession hSession) {
  throw ToolkitFailure(sFixedText, nReturn, hSession);
}

std::string SystemErrorText(DWORD dwError) {
  constexpr DWORD kFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM;
  constexpr DWORD kLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
  std::string text;
#ifdef _WIN32
  // In the wide form, since the message's language need not fit the ANSI code page.
  LPWSTR pBuffer = nullptr;
  const DWORD length = FormatMessageW(kFlags, nullptr, dwError, kLanguage,
                                      reinterpret_cast<LPWSTR>(&pBuffer), 0, nullptr);
  if (length != 0 && pBuffer) {
    text = WideToNarrow(WideString(pBuffer, length).c_str());
  }
#else
  LPSTR pBuffer = nullptr;
  const DWORD length = FormatMessageA(kFlags, nullptr, dwError, kLanguage,
                                      reinterpret_cast<LPSTR>(&pBuffer), 0, nullptr);
  if (length != 0 && pBuffer) {
    text.assign(pBuffer, length);
  }
#endif
  if (pBuffer) {
    LocalFree(pBuffer);
  }
  if (text.empty()) {
    std::ostringstream fallback;
    fallback << "System error " << dwError;
    text = fallback.str();
  }
  return text;
}

void ThrowLastSystemError() { throw ToolkitError(SystemErrorText(GetLastError())); }
