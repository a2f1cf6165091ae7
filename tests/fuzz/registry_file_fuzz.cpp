// @brief Registry file text through the reader, and what it read through the
// writer and the reader again.
//
// A text the reader takes gives a tree within the limits, and the writer's
// text of that tree reads back to the same text: the file survives being
// changed and written by any process.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "winport/src/registry/registry_text.h"
#include "winport/src/registry/registry_tree.h"

using winport::registry::Key;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Key top;
  if (!winport::registry::ReadRegText(text, &top)) {
    return 0;
  }
  FUZZ_CHECK(winport::registry::Depth(top) <= winport::registry::kMaxKeyDepth, "too deep");
  const std::string written = winport::registry::WriteRegText(top);
  Key again;
  FUZZ_CHECK(winport::registry::ReadRegText(written, &again), "written text does not read back");
  FUZZ_CHECK(winport::registry::WriteRegText(again) == written, "text changes on a second write");
  return 0;
}
