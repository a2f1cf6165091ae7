// @brief The failure raised when an operation of the host application object
// returns a failing HRESULT.
#pragma once

#include <exception>

#include "winport/win32.h"

class ComError : public std::exception {
 public:
  explicit ComError(HRESULT hr) : m_hr(hr) {}
  const char* what() const noexcept override { return "host application call failed"; }
  HRESULT Result() const { return m_hr; }

 private:
  HRESULT m_hr;
};

inline void ThrowIfFailed(HRESULT hr) {
  if (FAILED(hr)) {
    throw ComError(hr);
  }
}
