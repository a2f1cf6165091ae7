#include "title_names.h"

#include <algorithm>
#include <map>

namespace dizode {
namespace {

constexpr size_t kMaxSuffixWords = 8;

// The last `count` words of a search key, or empty when it has fewer.
std::string_view LastWords(std::string_view key, size_t count) {
  size_t at = key.size();
  for (size_t word = 0; word < count; ++word) {
    if (at == 0) return {};
    const size_t space = key.rfind(' ', at - 1);
    if (space == std::string_view::npos) return word + 1 == count ? key : std::string_view();
    at = space;
  }
  return key.substr(at + 1);
}

}  // namespace

std::string CommonTitleSuffix(const std::vector<std::string>& titleKeys) {
  std::string best;
  const size_t needed = std::max(kMinSuffixPages, (titleKeys.size() + 1) / 2);
  for (size_t words = 1; words <= kMaxSuffixWords; ++words) {
    std::map<std::string_view, size_t> counts;
    for (const std::string& key : titleKeys) {
      const std::string_view suffix = LastWords(key, words);
      if (!suffix.empty()) ++counts[suffix];
    }
    std::string_view found;
    for (const auto& [suffix, count] : counts) {
      if (count >= needed) found = suffix;
    }
    if (found.empty()) break;
    best.assign(found);
  }
  return best;
}

int64_t NameInTitle(std::string_view titleKey, std::string_view suffix) {
  if (suffix.empty() || titleKey.size() <= suffix.size() + 1 ||
      titleKey.substr(titleKey.size() - suffix.size()) != suffix ||
      titleKey[titleKey.size() - suffix.size() - 1] != ' ')
    return 0;
  const std::string_view name = titleKey.substr(0, titleKey.size() - suffix.size() - 1);
  return static_cast<int64_t>(std::count(name.begin(), name.end(), ' ') + 1);
}

void UnpackName(int64_t packed, int titleLength, int& begin, int& length) {
  begin = 0;
  length = packed > 0 && packed < titleLength ? static_cast<int>(packed) : titleLength;
}

void UpdateTitleNames(const Db& db) {
  std::vector<std::pair<int64_t, std::string>> pages;
  std::vector<int64_t> names;
  {
    Stmt select(db.get(), "SELECT id, titlekey, name FROM pages");
    while (select.Step()) {
      pages.emplace_back(select.Int(0), select.Text(1));
      names.push_back(select.Int(2));
    }
  }
  std::vector<std::string> keys;
  keys.reserve(pages.size());
  for (const auto& page : pages) keys.push_back(page.second);
  const std::string suffix = CommonTitleSuffix(keys);
  Stmt update(db.get(), "UPDATE pages SET name = ?2 WHERE id = ?1");
  for (size_t i = 0; i < pages.size(); ++i) {
    const int64_t name = NameInTitle(pages[i].second, suffix);
    if (name == names[i]) continue;
    update.Bind(1, pages[i].first).Bind(2, name);
    update.Run();
  }
}

}  // namespace dizode
