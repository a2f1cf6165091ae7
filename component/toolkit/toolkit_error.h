// @brief ToolkitError, the one failure raised inside the component, and the
// helpers that word its message.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "dizode/dizode.h"
#include "winport/win32.h"

// Carries one narrow message, and for a failed toolkit request its status and,
// for a query error, the 1-based column in the query text. Interface members
// hand the message to the host as the description of the failure.
class ToolkitError : public std::exception {
 public:
  explicit ToolkitError(std::string sMessage, int16_t nStatus = 0, int32_t nColumn = 0)
      : m_sMessage(std::move(sMessage)), m_nStatus(nStatus), m_nColumn(nColumn) {}
  const char* what() const noexcept override { return m_sMessage.c_str(); }
  const std::string& Message() const { return m_sMessage; }
  int16_t Status() const { return m_nStatus; }
  int32_t Column() const { return m_nColumn; }

 private:
  std::string m_sMessage;
  int16_t m_nStatus;
  int32_t m_nColumn;
};

// A toolkit status: the low 16 bits of an operation's return value, signed.
inline int16_t ToolkitStatus(int32_t nReturn) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(nReturn) & 0xFFFF));
}
inline bool ToolkitFailed(int32_t nReturn) { return ToolkitStatus(nReturn) != 0; }

// The fixed text followed at once by the status in signed decimal ("...-2").
std::string ToolkitFailureText(const char* sFixedText, int32_t nReturn);

// The failure of a request, its status kept beside the message. With the
// session the request ran in, the toolkit's own account is added:
// "<fixed text><status>: <its text>", and a query error becomes
// "query error at column <n>: <its text>". Read it before any other request on
// that session: the toolkit keeps only the latest outcome.
[[nodiscard]] ToolkitError ToolkitFailure(const char* sFixedText, int32_t nReturn,
                                          TkSession hSession = 0);

// Raises ToolkitFailure(sFixedText, nReturn, hSession).
[[noreturn]] void ThrowToolkitFailure(const char* sFixedText, int32_t nReturn,
                                      TkSession hSession = 0);

// The system's message text for a system error number, as the system words
// it (FormatMessageA from the system table, neutral language), or
// "System error <n>" when the system has no text for it.
std::string SystemErrorText(DWORD dwError);

// Raises a ToolkitError with the text of GetLastError().
[[noreturn]] void ThrowLastSystemError();
