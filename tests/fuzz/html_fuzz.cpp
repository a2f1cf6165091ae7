// @brief Page bytes through charset detection, decoding and text extraction.
//
// Whatever the bytes, decoding gives valid UTF-8, and so does every text the
// extractor keeps; the extractor's limits hold.
#include <cstdint>
#include <string>
#include <string_view>

#include "charset.h"
#include "charset_detect.h"
#include "fuzz_check.h"
#include "html_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const dizode::DetectedCharset detected = dizode::DetectCharset(bytes);
  FUZZ_CHECK(detected.bomLength <= bytes.size(), "byte-order mark beyond the bytes");
  FUZZ_CHECK(!detected.name.empty(), "no charset named");
  const std::string decoded = dizode::DecodeToUtf8(bytes.substr(detected.bomLength), detected.name);
  FUZZ_CHECK(dizode::IsValidUtf8(decoded), "decoding gave invalid UTF-8");
  // The detector alone, as it is asked for pages without a declaration.
  (void)dizode::GuessCharset(bytes);

  const dizode::PageText page = dizode::ExtractHtml(bytes, "page.htm");
  FUZZ_CHECK(dizode::IsValidUtf8(page.title), "title not UTF-8");
  FUZZ_CHECK(dizode::IsValidUtf8(page.heads), "heads not UTF-8");
  FUZZ_CHECK(dizode::IsValidUtf8(page.body), "body not UTF-8");
  FUZZ_CHECK(!page.title.empty(), "a page without a title");
  FUZZ_CHECK(page.heads.size() + page.body.size() <= 2 * dizode::kMaxTextBytes + 2,
             "text beyond the extractor's limit");
  return 0;
}
