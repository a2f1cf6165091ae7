// Names of the HRESULTs winport and the component return, for failure output.

#include "winport/tests/support/hr_assert.h"

namespace winport_test {

const char* HrName(HRESULT hr) {
  const WinportHresultText* known = WinportFindHresult(hr);
  return known ? known->name : nullptr;
}

}  // namespace winport_test
