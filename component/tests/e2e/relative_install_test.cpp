// End-to-end: a host that names its install folder relative to the current
// directory, over the real engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/tests/support/fake_host.h"
#include "component/tests/support/temp_folder.h"
#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"

namespace {

// The key of the first row of Find's results, or "" when there is none.
std::string FirstKey(ViveviVadiro& component, const char16_t* sQuery) {
  winport::Bstr query(sQuery);
  winport::Variant results;
  EXPECT_HR(S_OK, component.Find(query.Get(), nullptr, 0, results.Get()));
  if (V_VT(results.Get()) == VT_EMPTY) {
    return "";
  }
  LONG index = 0;
  winport::Variant row;
  SafeArrayGetElement(V_ARRAY(results.Get()), &index, row.Put());
  LONG column = 1;
  winport::Variant key;
  SafeArrayGetElement(V_ARRAY(row.Get()), &column, key.Put());
  return winport::Bstr(V_BSTR(key.Get())).ToUtf8();
}

TEST(RelativeInstallTest, PagesInSubfoldersAreIndexedAndTheCurrentDirectoryIsLeftAlone) {
  TempFolder temp;
  std::filesystem::create_directories(temp.Path() / "app/dizode/common");
  temp.Write("app/Help/tags/deep/colour.htm",
             "<html><head><title>Colour</title></head><body>a teal walrus</body></html>");
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(temp.Path());
  {
    FakeHost host(FakeHostScript{.sInstallDir = u"app/"});
    winport::ComPtr<ViveviVadiro> component(new ViveviVadiro);
    EXPECT_HR(S_OK, component->Initialize(0));
    EXPECT_EQ(std::filesystem::current_path(), temp.Path());
    EXPECT_EQ(FirstKey(*component.Get(), u"walrus"), "app/Help/tags/deep/colour.htm");
  }
  std::filesystem::current_path(before);
}

}  // namespace
