// @brief How zvv reports a failed operation: the HRESULT in hex, its name and meaning.
#pragma once

#include <cstddef>
#include <string>

#include "winport/win32.h"

namespace zvv {

// Exit codes of zvv.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// "0x80004005 E_FAIL: the help index could not be opened or searched": the
// platform's name and text of the code, or the system's text alone for a code
// without a name.
std::string DescribeHresult(HRESULT hr);

// Prints "zvv: <what> failed: <description>" on stderr and returns kExitFailure.
int ReportFailure(const std::string& what, HRESULT hr);

// The description the component's error object gives for the failure of
// its last call on this thread; empty when it gives none.
std::string ComponentErrorText();

// The column a component's "query error at column N: ..." description names;
// 0 for any other text.
std::size_t QueryErrorColumn(const std::string& text);

// What zvv says of a failing call of the component, given the text of its
// error object: a query error's description alone, else
// "<what> failed: <description of hr>", followed by ": <text>" when there is one.
std::string ComponentFailureMessage(const std::string& what, HRESULT hr, const std::string& text);

// As ReportFailure for a failing call of the component, followed by the
// description its error object gives. A query error is reported by that
// description alone: "zvv: query error at column 3: ...".
int ReportComponentFailure(const std::string& what, HRESULT hr);

}  // namespace zvv
