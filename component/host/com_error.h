// @brief The failure raised when an operation of the host application object
// returns a failing HRESULT.
#pragma once

#include <exception>
#include <string>

#include "winport/win32.h"

// Carries the HRESULT and what the host's error object said about it, if it
// left one.
class ComError : public std::exception {
 public:
  ComError(HRESULT hr, std::string sDescription)
      : m_hr(hr), m_sDescription(std::move(sDescription)) {}
  const char* what() const noexcept override { return m_sDescription.c_str(); }
  HRESULT Result() const { return m_hr; }

 private:
  HRESULT m_hr;
  std::string m_sDescription;
};

// Raises a ComError for a failing hr. When pSource says that it describes
// the failures of its interface riid, the thread's error object gives the
// description; otherwise it is "host application call failed (0x...)".
void ThrowIfFailed(HRESULT hr, IUnknown* pSource = nullptr, REFIID riid = IID_NULL);
