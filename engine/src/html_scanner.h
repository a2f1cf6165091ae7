// @brief A forgiving one-pass HTML tokenizer for text extraction: start and end tags with their
// attributes, text with character references decoded, comments and declarations skipped.
//
// It follows the way browsers read markup where it matters for the text: a '<' that starts no
// tag is text, script and style bodies are raw text up to their end tag, title and textarea
// bodies are text even where they look like tags, and a tag or comment cut off by the end of the
// page is dropped. It builds no tree: what nests in what is the sink's business. The cost is
// linear in the page whatever the markup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dizode::html {

struct AttributeSpan {
  std::string_view name;   // as written
  std::string_view value;  // raw, quotes removed; references not yet decoded
};

struct StartTag {
  std::string_view name;  // lower-case
  bool selfClosing = false;
  std::vector<AttributeSpan> attributes;  // the first kMaxAttributes of the tag

  static constexpr size_t kMaxAttributes = 256;

  // Whether the tag has attribute `wanted` (lower-case ASCII; names compare case-insensitively),
  // and if so its value with references decoded in `value`.
  bool Attribute(std::string_view wanted, std::string& value) const;
};

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Start(const StartTag& tag) = 0;
  virtual void End(std::string_view name) = 0;  // lower-case
  // A run of text in UTF-8 (as valid as the page), in document order; runs split anywhere.
  virtual void Text(std::string_view text) = 0;
};

// Reads `page` (UTF-8) from start to end, reporting to `sink`.
void Scan(std::string_view page, Sink& sink);

// Appends `raw` to `out` with its character references decoded.
void AppendDecoded(std::string_view raw, std::string& out);

}  // namespace dizode::html
