// @brief A streaming filter that caps the number of attributes in one start tag.
//
// The HTML parser checks each new attribute against every earlier one of the same tag, so a
// tag with a hundred thousand attributes costs it billions of comparisons. Pages never need
// more than a few dozen; the filter drops the rest of an over-long tag (up to its '>') before
// the parser sees it.
#pragma once

#include <string>
#include <string_view>

namespace dizode {

class TagGuard {
 public:
  static constexpr int kMaxAttributes = 256;

  // Appends `in` to `out`, minus the attributes beyond the limit. Keeps its state across calls,
  // so a page may be fed in chunks split anywhere.
  void Filter(std::string_view in, std::string& out);

 private:
  enum class State { kText, kTagOpen, kTagName, kInTag, kAttrName, kQuoted, kUnquoted };
  State m_state = State::kText;
  char m_quote = 0;
  int m_attributes = 0;
};

}  // namespace dizode
