#include "link_target.h"

#include <vector>

namespace dizode {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string LinkTarget(std::string_view source, std::string_view href) {
  href = href.substr(0, href.find_first_of("#?"));
  const std::string path = PercentDecoded(href);
  if (path.empty()) return {};
  const size_t lastSeparator = source.find_last_of("/\\");
  if (lastSeparator == std::string_view::npos) return {};
  const char separator = source[lastSeparator];
  // The source's folder, as steps that '..' may take back down to its root.
  std::string out(source.substr(0, lastSeparator));
  std::vector<size_t> steps;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == separator) steps.push_back(i);
  }
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find_first_of("/\\", at);
    if (end == std::string::npos) end = path.size();
    const std::string_view step(path.data() + at, end - at);
    if (step == "..") {
      if (steps.empty()) return {};
      out.resize(steps.back());
      steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(out.size());
      out += separator;
      out += step;
    }
    at = end + 1;
  }
  if (out == source) return {};
  return out;
}

}  // namespace dizode
