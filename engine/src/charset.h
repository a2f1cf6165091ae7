// @brief Finding a page's character set and turning its bytes into UTF-8.
//
// Order of evidence: a byte-order mark, then the zero bytes that UTF-16 and UTF-32 markup shows
// in its first 1024 bytes, then <meta charset> or http-equiv declarations there, then an XML
// declaration, then the bytes themselves (valid UTF-8 is taken as UTF-8, else a statistical
// detector is asked), and windows-1252 last. A declaration only counts when the system can decode
// it and it reads ASCII as ASCII; one naming UTF-16, UTF-32 or an EBCDIC code page in an ASCII
// page is ignored. Decoding never fails: every invalid sequence and every NUL becomes U+FFFD, and
// other control bytes that would upset the HTML parser become spaces.
#pragma once

#include <string>
#include <string_view>

namespace dizode {

struct DetectedCharset {
  std::string name;  // canonical lower-case label, e.g. "utf-8", "windows-1252", "iso-8859-2"
  size_t bomLength = 0;
};

DetectedCharset DetectCharset(std::string_view bytes);

// Decodes `bytes` (without any BOM) from `charset` into UTF-8. A label the system cannot
// decode is treated as undeclared (UTF-8 when valid, else windows-1252).
std::string DecodeToUtf8(std::string_view bytes, const std::string& charset);

bool IsValidUtf8(std::string_view bytes);

// True for bytes that are no text in any encoding (an image or a program under a page's name):
// runs of zero bytes, or many control bytes, in the first 1024 that no UTF-16 or UTF-32 layout
// explains.
bool LooksBinary(std::string_view bytes);

}  // namespace dizode
