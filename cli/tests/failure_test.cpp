// How zvv describes a failed operation's HRESULT.
#include "cli/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace zvv {
namespace {

TEST(DescribeHresult, GivesTheCodeItsNameAndMeaning) {
  struct Case {
    HRESULT m_code;
    std::string m_text;
  };
  const Case cases[] = {
      // zvv's own reading of the codes its searches return.
      {E_FAIL, "0x80004005 E_FAIL: the help index could not be opened or searched"},
      {E_INVALIDARG,
       "0x80070057 E_INVALIDARG: an argument was refused (the query or the folder list)"},
      // The platform's name and text, even where the system has an error text too.
      {E_OUTOFMEMORY, "0x8007000E E_OUTOFMEMORY: out of memory"},
      {REGDB_E_CLASSNOTREG, "0x80040154 REGDB_E_CLASSNOTREG: the component is not registered"},
      // No name: the system's text, or the code alone.
      {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
       "0x80070002: " + std::string(std::strerror(ENOENT))},
      {static_cast<HRESULT>(0x80001234), "0x80001234"},
  };
  for (const Case& c : cases) EXPECT_EQ(DescribeHresult(c.m_code), c.m_text);
}

}  // namespace
}  // namespace zvv
