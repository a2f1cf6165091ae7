// @brief Registration scripts through the parser, registration into a tree,
// the registry file text and unregistration.
//
// A script that parses registers keys within the registry's limits, whose
// file text reads back; unregistering it afterwards leaves a tree that is
// still written and read back whole.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "winport/src/registry/registration_script.h"
#include "winport/src/registry/registry_text.h"

namespace registry = winport::registry;

namespace {

void CheckWritable(const registry::Key& top) {
  FUZZ_CHECK(registry::Depth(top) <= registry::kMaxKeyDepth, "too deep");
  const std::string written = registry::WriteRegText(top);
  registry::Key again;
  FUZZ_CHECK(registry::ReadRegText(written, &again), "written text does not read back");
  FUZZ_CHECK(registry::WriteRegText(again) == written, "text changes on a second write");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const registry::Replacements replacements = {{"MODULE", "/opt/app/lib.so"},
                                               {"CLSID", "{11111111-2222-3333-4444-555555555555}"}};
  std::vector<registry::ScriptRoot> roots;
  std::string error;
  if (!registry::ParseRegistrationScript(text, replacements, &roots, &error)) {
    FUZZ_CHECK(error.compare(0, 5, "line ") == 0, "a fault without its line");
    return 0;
  }
  registry::Key top;
  registry::RegisterScript(roots, top);
  CheckWritable(top);
  registry::UnregisterScript(roots, top);
  CheckWritable(top);
  return 0;
}
