// @brief ToolkitError, the one failure raised inside the component, and the
// helpers that word its message.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "winport/win32.h"

// Carries one narrow message. Interface members and the progress dialog catch
// it and drop the text: it reaches no user.
class ToolkitError : public std::exception {
 public:
  explicit ToolkitError(std::string sMessage) : m_sMessage(std::move(sMessage)) {}
  const char* what() const noexcept override { return m_sMessage.c_str(); }
  const std::string& Message() const { return m_sMessage; }

 private:
  std::string m_sMessage;
};

// A toolkit status: the low 16 bits of an operation's return value, signed.
inline int16_t ToolkitStatus(int32_t nReturn) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(nReturn) & 0xFFFF));
}
inline bool ToolkitFailed(int32_t nReturn) { return ToolkitStatus(nReturn) != 0; }

// The fixed text followed at once by the status in signed decimal ("...-2").
std::string ToolkitFailureText(const char* sFixedText, int32_t nReturn);

[[noreturn]] void ThrowToolkitFailure(const char* sFixedText, int32_t nReturn);

// The system's message text for a system error number, as the system words
// it (FormatMessageA from the system table, neutral language), or
// "System error <n>" when the system has no text for it.
std::string SystemErrorText(DWORD dwError);

// Raises a ToolkitError with the text of GetLastError().
[[noreturn]] void ThrowLastSystemError();
