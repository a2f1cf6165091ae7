// @brief Assertions that print an HRESULT in hex with its meaning.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "winport/win32.h"

namespace winport_test {

// The symbolic name of a known HRESULT, or null.
const char* HrName(HRESULT hr);

// "0x80020005 DISP_E_TYPEMISMATCH", or the hex code alone for an unknown one.
inline std::string HrText(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
  const char* name = HrName(hr);
  return name ? std::string(buf) + " " + name : std::string(buf);
}

inline ::testing::AssertionResult HrEquals(const char* expected_expr, const char* actual_expr,
                                           HRESULT expected, HRESULT actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual_expr << " returned " << HrText(actual) << ", expected " << expected_expr << " ("
         << HrText(expected) << ")";
}

}  // namespace winport_test

#define EXPECT_HR(expected, expr) EXPECT_PRED_FORMAT2(::winport_test::HrEquals, expected, expr)
#define ASSERT_HR(expected, expr) ASSERT_PRED_FORMAT2(::winport_test::HrEquals, expected, expr)
